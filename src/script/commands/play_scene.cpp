// The play scene command.
#include "script/commands/play_scene.h"

#include "platform/shell/shell.h"
#include "scene/scene_graph.h"
#include "script/scripter.h"

bool PlayScene::execute(float) {
    SceneGraph* scene = scripter_.findScene(slot);
    if (!scene) {
        failWithMessage("PlayScene error", "The scene slot '" + slot + "' is empty: PlayScene failed!", 0);
    }
    scripter_.setCurrentScene(scene);
    scene->prepare();
    return true;
}
