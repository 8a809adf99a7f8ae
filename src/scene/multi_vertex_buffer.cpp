#include "scene/multi_vertex_buffer.h"

#include <cmath>

float MultiVertexBuffer::radius() const
{
    // The extents are per axis over every frame, so the frames' own maxima are combined.
    float maxima[3] = {0, 0, 0};
    for (const auto& positions : frames_) {
        for (std::size_t i = 0; i + 3 <= positions.size(); i += 3) {
            for (int axis = 0; axis < 3; ++axis) maxima[axis] = std::fmax(maxima[axis], std::fabs(positions[i + axis]));
        }
    }
    return extentRadius(maxima, 1, 3);
}

void MultiVertexBuffer::addFrame(std::vector<float> positions)
{
    positions.resize(std::size_t{vertexCount()} * 3, 0.0f);
    frames_.push_back(std::move(positions));
}
