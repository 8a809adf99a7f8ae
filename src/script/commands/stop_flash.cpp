// The stop flash command.
#include "script/commands/stop_flash.h"

#include "script/scripter.h"

bool StopFlash::execute(float) {
    scripter_.setCurrentFlash(nullptr);
    return true;
}
