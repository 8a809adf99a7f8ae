// The processors every played scene uses: the plain pass, then the glow pass. This is the
// factory the script's load command hands to each scene.
#pragma once

#include "scene/processor.h"

class StandardProcessors final : public ProcessorFactory {
public:
    Processor& createDefault(SceneGraph& scene, int id) const override;
    Processor& createGlow(SceneGraph& scene, int id) const override;
};

const ProcessorFactory& standardProcessors();
