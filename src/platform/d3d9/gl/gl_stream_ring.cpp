// Persistently mapped streaming buffer with per-segment fences (see gl_stream_ring.h).
#include "platform/d3d9/gl/gl_stream_ring.h"

namespace d3dgl {

GlStreamRing::GlStreamRing(std::size_t size) : size_(size), segmentSize_(size / kSegments)
{
    glCreateBuffers(1, &buffer_);
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    glNamedBufferStorage(buffer_, static_cast<GLsizeiptr>(size_), nullptr, flags);
    mapped_ = static_cast<std::byte*>(glMapNamedBufferRange(buffer_, 0, static_cast<GLsizeiptr>(size_), flags));
    glCreateBuffers(1, &oversize_);
}

GlStreamRing::~GlStreamRing()
{
    for (GLsync& fence : fences_)
        if (fence) glDeleteSync(fence);
    glUnmapNamedBuffer(buffer_);
    glDeleteBuffers(1, &buffer_);
    glDeleteBuffers(1, &oversize_);
}

void GlStreamRing::enterSegment(int segment)
{
    segment_ = segment;
    cursor_ = static_cast<std::size_t>(segment) * segmentSize_;
    if (GLsync& fence = fences_[segment]) {
        glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        glDeleteSync(fence);
        fence = nullptr;
    }
}

void GlStreamRing::fenceCurrent()
{
    GLsync& fence = fences_[segment_];
    if (fence) glDeleteSync(fence);
    fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    enterSegment((segment_ + 1) % kSegments);
}

GlStreamRing::Slice GlStreamRing::allocate(std::size_t bytes, std::size_t alignment)
{
    if (bytes > segmentSize_ || !mapped_) {
        // Rare: re-specify a private buffer (the driver orphans the old storage).
        glNamedBufferData(oversize_, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_DRAW);
        Slice slice{oversize_, 0, nullptr};
        return slice;
    }
    std::size_t start = (cursor_ + alignment - 1) / alignment * alignment;
    const std::size_t segmentEnd = static_cast<std::size_t>(segment_ + 1) * segmentSize_;
    if (start + bytes > segmentEnd) {
        fenceCurrent();
        start = cursor_;
    }
    cursor_ = start + bytes;
    return Slice{buffer_, static_cast<GLintptr>(start), mapped_ + start};
}

} // namespace d3dgl
