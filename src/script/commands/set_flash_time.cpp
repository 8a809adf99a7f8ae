// The set flash time command.
#include "script/commands/set_flash_time.h"

#include "script/scripter.h"

bool SetFlashTime::execute(float scriptTimeMs) {
    ScriptClocks& clocks = scripter_.clocks();
    clocks.flashOrigin = (scriptTimeMs + clocks.scriptOrigin) - time;
    return true;
}
