#include "scene/base.h"

#include "scene/scene_graph.h"

Base::Base(SceneGraph& scene, int id) : stateCache_(scene.stateCache()), scene_(scene), id_(id) {}
