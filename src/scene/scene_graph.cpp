#include "scene/scene_graph.h"

#include "scene/camera.h"
#include "scene/group.h"
#include "scene/light.h"
#include "scene/processor.h"

#include <algorithm>

SceneGraph::SceneGraph(IDirect3DDevice9* device, const ProcessorFactory* processors)
    : stateCache_(std::make_unique<StateCache>(device)), processorFactory_(processors)
{
}

SceneGraph::~SceneGraph()
{
    for (auto& object : objects_) object.reset();
    objects_.clear();
    for (auto& controller : controllers_) controller.reset();
    controllers_.clear();
}

Base* SceneGraph::findById(int id) const
{
    if (id == -1) return nullptr;
    for (const auto& object : objects_) {
        if (object && object->id() == id) return object.get();
    }
    return nullptr;
}

void SceneGraph::setActiveCamera(Camera* camera)
{
    if (!camera) return;
    if (activeCamera_) activeCamera_->deactivate();
    activeCamera_ = camera;
    camera->activate();
}

void SceneGraph::setActiveCameraByName(const std::string& name)
{
    for (Camera* camera : cameras_) {
        if (camera->name == name) {
            setActiveCamera(camera);
            return;
        }
    }
}

void SceneGraph::removeCamera(Camera* camera)
{
    std::erase(cameras_, camera);
    if (activeCamera_ == camera) activeCamera_ = nullptr;
}

void SceneGraph::removeLight(Light* light) { std::erase(lights_, light); }

void SceneGraph::enableLights()
{
    for (Light* light : lights_) light->setOnce();
}

void SceneGraph::prepare()
{
    if (prepared_) return;
    StateCache& cache = *stateCache_;
    if (cache.shadowLightFlag && cache.meshFlagA && cache.meshFlagB) cache.combinedSceneFlag = true;
    // Linking may not add objects, but index-based iteration stays valid even if it did.
    for (std::size_t i = 0; i < objects_.size(); ++i) objects_[i]->link();
    if (root_) root_->refresh(true);
    if (skybox_) skybox_->refresh(true);
    if (processorFactory_) {
        plainProcessor_ = &processorFactory_->createDefault(*this, nextId());
        processors_.push_back(plainProcessor_);
        processors_.push_back(&processorFactory_->createGlow(*this, nextId()));
    }
    prepared_ = true;
}

void SceneGraph::animate(float sceneTime)
{
    if (!loaded_) return;
    for (const auto& controller : controllers_) controller->evaluate(sceneTime);
}

void SceneGraph::render()
{
    if (!loaded_) return;
    stateCache_->glowPass = false;
    // Without a camera there is no frustum to cull against and no view to draw from.
    if (!activeCamera_) return;
    activeCamera_->activate();
    for (Processor* processor : processors_) processor->beginFrame();
    for (Processor* processor : processors_) {
        processor->beginPass();
        if (root_) root_->collect(*processor);
        processor->endPass();
    }
}
