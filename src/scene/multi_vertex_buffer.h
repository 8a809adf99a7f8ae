// A vertex-animated mesh's vertices: the vertex buffer plus its position frames (frame 0
// included), each one xyz triple per vertex. The radius covers every frame.
#pragma once

#include "scene/vertex_buffer.h"

#include <vector>

class MultiVertexBuffer : public VertexBuffer {
public:
    using VertexBuffer::VertexBuffer;

    float radius() const override;

    // A frame is made exactly vertexCount × 3 floats long (cut, or filled with zeros), so a
    // frame set before or after the vertices can never be read past its end.
    void addFrame(std::vector<float> positions);
    std::size_t frameCount() const { return frames_.size(); }
    const float* frame(std::size_t index) const { return frames_[index].data(); }

private:
    std::vector<std::vector<float>> frames_;
};
