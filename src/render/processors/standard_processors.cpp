#include "render/processors/standard_processors.h"

#include "scene/scene_graph.h"

namespace {

class EmptyPass final : public Processor {
public:
    EmptyPass(SceneGraph& scene, int id) : Processor(scene, id) {}
};

} // namespace

Processor& StandardProcessors::createDefault(SceneGraph& scene, int id) const { return scene.create<EmptyPass>(id); }

Processor& StandardProcessors::createGlow(SceneGraph& scene, int id) const { return scene.create<EmptyPass>(id); }

const ProcessorFactory& standardProcessors()
{
    static const StandardProcessors factory;
    return factory;
}
