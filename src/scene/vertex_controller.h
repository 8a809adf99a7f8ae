// Drives a vertex-animated buffer's positions from its frames, blended per vertex; the other
// vertex components stay, and the buffer re-uploads (normals are rebuilt on the way).
#pragma once

#include "scene/controller.h"
#include "scene/sample_timing.h"

class MultiVertexBuffer;

class VertexController : public Controller {
public:
    // A null target, or one without frames, leaves the controller without effect.
    explicit VertexController(MultiVertexBuffer* target) : target_(target) {}
    void evaluate(float time) override;

    SampleTiming timing;

private:
    MultiVertexBuffer* target_;
};
