#include "render/processors/standard_processors.h"

#include "render/processors/default_processor.h"
#include "render/processors/glow_processor.h"
#include "scene/scene_graph.h"

Processor& StandardProcessors::createDefault(SceneGraph& scene, int id) const
{
    return scene.create<DefaultProcessor>(id);
}

Processor& StandardProcessors::createGlow(SceneGraph& scene, int id) const { return scene.create<GlowProcessor>(id); }

const ProcessorFactory& standardProcessors()
{
    static const StandardProcessors factory;
    return factory;
}
