// A loaded 3D scene: it owns every object registered with it (in registration order), its
// controllers and its state cache; it keeps the node tree's root, the cameras and lights, the
// active camera and the render processors, which it gets from the factory it was given.
// Each frame: animate (controllers in order) then render (camera, then every processor's
// culled traversal). Both do nothing until the loader marks the scene loaded.
#pragma once

#include "render/state_cache.h"
#include "scene/base.h"
#include "scene/controller.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class Camera;
class Group;
class Light;
class Processor;
class ProcessorFactory;

struct AmbientColour {
    float red = 0, green = 0, blue = 0, alpha = 1;
};

class SceneGraph {
public:
    // `processors` (not owned, may be null: no passes) must outlive the scene.
    explicit SceneGraph(IDirect3DDevice9* device, const ProcessorFactory* processors = nullptr);
    // Objects first (registration order), then controllers, then the state cache.
    virtual ~SceneGraph();
    SceneGraph(const SceneGraph&) = delete;
    SceneGraph& operator=(const SceneGraph&) = delete;

    int nextId() { return idCounter_++; }
    // Creates an object of the scene; the scene owns it from here on.
    template <typename T, typename... Args>
    T& create(Args&&... args)
    {
        auto object = std::make_unique<T>(*this, std::forward<Args>(args)...);
        T& created = *object;
        objects_.push_back(std::move(object));
        return created;
    }
    // The first registered object with this id; -1 and unknown ids give null.
    Base* findById(int id) const;
    std::size_t objectCount() const { return objects_.size(); }

    template <typename T>
    T& addController(std::unique_ptr<T> controller)
    {
        T& added = *controller;
        controllers_.push_back(std::move(controller));
        return added;
    }
    std::size_t controllerCount() const { return controllers_.size(); }

    void setActiveCamera(Camera* camera);
    // Exact, case-sensitive camera name; no match changes nothing.
    void setActiveCameraByName(const std::string& name);
    Camera* activeCamera() const { return activeCamera_; }
    const std::vector<Camera*>& cameras() const { return cameras_; }
    void addCamera(Camera* camera) { cameras_.push_back(camera); }
    void removeCamera(Camera* camera);

    const std::vector<Light*>& lights() const { return lights_; }
    void addLight(Light* light) { lights_.push_back(light); }
    void removeLight(Light* light);
    void enableLights();

    void prepare();
    void animate(float sceneTime);
    void render();

    Group* root() const { return root_; }
    void setRoot(Group* root) { root_ = root; }
    Group* skybox() const { return skybox_; }
    void setSkybox(Group* skybox) { skybox_ = skybox; }
    bool loaded() const { return loaded_; }
    void setLoaded(bool loaded) { loaded_ = loaded; }
    bool prepared() const { return prepared_; }

    const std::vector<Processor*>& processors() const { return processors_; }
    Processor* plainProcessor() const { return plainProcessor_; }

    StateCache& stateCache() { return *stateCache_; }
    IDirect3DDevice9* device() const { return stateCache_->device(); }

    AmbientColour ambient;

private:
    // Declared first so that it goes last.
    std::unique_ptr<StateCache> stateCache_;
    const ProcessorFactory* processorFactory_;
    Group* root_ = nullptr;
    std::vector<Processor*> processors_;
    std::vector<std::unique_ptr<Controller>> controllers_;
    std::vector<std::unique_ptr<Base>> objects_;
    std::vector<Camera*> cameras_;
    std::vector<Light*> lights_;
    Camera* activeCamera_ = nullptr;
    Group* skybox_ = nullptr;
    Processor* plainProcessor_ = nullptr;
    int idCounter_ = 0;
    bool prepared_ = false;
    bool loaded_ = false;
};
