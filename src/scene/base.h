// What every scene object shares: the scene's state cache, the scene that owns it and its
// scene-wide id. Objects are made through SceneGraph::create, which registers and owns them.
#pragma once

class SceneGraph;
class StateCache;

class Base {
public:
    Base(SceneGraph& scene, int id);
    // Called once, in registration order, when the scene is prepared.
    virtual void link() {}
    virtual ~Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    StateCache& stateCache() const { return stateCache_; }
    SceneGraph& scene() const { return scene_; }
    int id() const { return id_; }

private:
    StateCache& stateCache_;
    SceneGraph& scene_;
    int id_;
};
