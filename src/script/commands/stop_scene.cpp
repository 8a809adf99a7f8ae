// The stop scene command.
#include "script/commands/stop_scene.h"

#include "script/scripter.h"

bool StopScene::execute(float) {
    scripter_.setCurrentScene(nullptr);
    return true;
}
