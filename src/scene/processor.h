// A render pass over a scene. The scene drives it each frame: beginFrame, then beginPass,
// the culled traversal (submit per visible node) and endPass, where the drawing happens.
// The concrete processors live above the scene; it gets them from a ProcessorFactory.
#pragma once

#include "scene/base.h"

class Group;

class Processor : public Base {
public:
    virtual void beginFrame() {}
    virtual void beginPass() {}
    virtual void endPass() {}
    virtual void submit(Group& node) {}

protected:
    Processor(SceneGraph& scene, int id) : Base(scene, id) {}
};

// Handed to the scene at construction; prepare asks it for the plain pass and then the glow
// pass, each created in the scene (SceneGraph::create) with the id given.
class ProcessorFactory {
public:
    virtual ~ProcessorFactory() = default;
    virtual Processor& createDefault(SceneGraph& scene, int id) const = 0;
    virtual Processor& createGlow(SceneGraph& scene, int id) const = 0;
};
