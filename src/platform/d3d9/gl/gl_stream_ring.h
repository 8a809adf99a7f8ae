// A persistently mapped streaming buffer for data written once per draw (uniform blocks, user
// vertices and indices). It is split into segments fenced at the end of each frame or when
// the writer moves on, so the CPU never overwrites what a pending draw still reads.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstddef>

namespace d3dgl {

class GlStreamRing {
public:
    struct Slice {
        GLuint buffer = 0;
        GLintptr offset = 0;
        std::byte* pointer = nullptr;
    };

    explicit GlStreamRing(std::size_t size);
    ~GlStreamRing();
    GlStreamRing(const GlStreamRing&) = delete;
    GlStreamRing& operator=(const GlStreamRing&) = delete;

    // Space for bytes at the given alignment; larger than a segment goes to a one-off buffer.
    Slice allocate(std::size_t bytes, std::size_t alignment);
    // Fences the segment in use so the next frame can move past it.
    void fenceCurrent();

private:
    static constexpr int kSegments = 4;
    void enterSegment(int segment);

    GLuint buffer_ = 0;
    std::byte* mapped_ = nullptr;
    std::size_t size_ = 0, segmentSize_ = 0;
    int segment_ = 0;
    std::size_t cursor_ = 0;
    std::array<GLsync, kSegments> fences_{};
    GLuint oversize_ = 0;
};

} // namespace d3dgl
