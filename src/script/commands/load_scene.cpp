// The load scene command.
#include "script/commands/load_scene.h"

#include "psk/psk_scene_loader.h"
#include "render/processors/standard_processors.h"
#include "scene/scene_graph.h"
#include "script/scripter.h"

#include <memory>

bool LoadScene::execute(float) {
    scripter_.removeScene(slot);
    auto scene = std::make_unique<SceneGraph>(scripter_.device(), &standardProcessors());
    scene->create<PSKSceneLoader>(scene->nextId()).load(file);
    scripter_.putScene(slot, std::move(scene));
    return true;
}
