#include "scene/vertex_controller.h"

#include "scene/multi_vertex_buffer.h"

void VertexController::evaluate(float time)
{
    if (!target_ || target_->frameCount() == 0) return;
    const SamplePick pick = pickSample(time, timing, target_->frameCount());
    const float* a = target_->frame(pick.a);
    const float* b = target_->frame(pick.b);
    const float w = pick.weight;
    const std::uint32_t count = target_->vertexCount();
    for (std::uint32_t v = 0; v < count; ++v, a += 3, b += 3) {
        float* position = target_->vertex(v);
        position[0] = a[0] + (b[0] - a[0]) * w;
        position[1] = a[1] + (b[1] - a[1]) * w;
        position[2] = a[2] + (b[2] - a[2]) * w;
    }
    target_->upload();
}
