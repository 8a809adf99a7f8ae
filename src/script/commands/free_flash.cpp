// The free flash command.
#include "script/commands/free_flash.h"

#include "script/scripter.h"

bool FreeFlash::execute(float) {
    scripter_.removeFlash(slot);
    return true;
}
