// The set scene time command.
#include "script/commands/set_scene_time.h"

#include "script/scripter.h"

bool SetSceneTime::execute(float scriptTimeMs) {
    ScriptClocks& clocks = scripter_.clocks();
    clocks.sceneOrigin = (scriptTimeMs + clocks.scriptOrigin) - time;
    return true;
}
