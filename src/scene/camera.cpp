#include "scene/camera.h"

#include "scene/scene_graph.h"

Camera::Camera(SceneGraph& scene, int id) : Group(scene, id) {}

Camera::~Camera() { scene().removeCamera(this); }

void Camera::link()
{
    Group::link();
    scene().addCamera(this);
    if (!scene().activeCamera()) scene().setActiveCamera(this);
}

void Camera::activate()
{
    active_ = true;
    refresh(false);
}
