// The set active camera command.
#include "script/commands/set_active_camera.h"

#include "scene/scene_graph.h"
#include "script/scripter.h"

bool SetActiveCamera::execute(float) {
    if (SceneGraph* scene = scripter_.currentScene()) scene->setActiveCameraByName(name);
    return true;
}
