// The set time command.
#include "script/commands/set_time.h"

#include "script/scripter.h"

bool SetTime::execute(float scriptTimeMs) {
    ScriptClocks& clocks = scripter_.clocks();
    clocks.scriptOrigin = (scriptTimeMs + clocks.scriptOrigin) - time;
    clocks.flashOrigin = clocks.scriptOrigin;
    clocks.sceneOrigin = clocks.scriptOrigin;
    return true;
}
