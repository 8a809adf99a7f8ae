#include "scene/light.h"

#include "scene/scene_graph.h"

Light::Light(SceneGraph& scene, int id) : Group(scene, id) {}

Light::~Light() { scene().removeLight(this); }

void Light::link()
{
    Group::link();
    scene().addLight(this);
}

void Light::setOnce()
{
    if (set_) return;
    set_ = true;
    updateDevice();
}
