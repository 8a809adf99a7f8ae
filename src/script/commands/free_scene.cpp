// The free scene command.
#include "script/commands/free_scene.h"

#include "script/scripter.h"

bool FreeScene::execute(float) {
    scripter_.removeScene(slot);
    return true;
}
