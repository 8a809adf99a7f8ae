// The vertex arrays the pipeline draws through. A draw from device buffers gets an array of
// its own per (format, vertex buffer, offset, stride, index buffer), so drawing mesh after
// mesh only switches arrays; draws streamed from user memory share one array per format and
// re-point it, since their offsets change with every draw.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/gl_state_cache.h"

#include <epoxy/gl.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

namespace d3dgl {

class FfVertexArrays {
public:
    // Where a draw's vertices and indices come from; elements 0 for a draw without indices.
    struct Source {
        GLuint buffer = 0;
        GLintptr offset = 0;
        GLsizei stride = 0;
        GLuint elements = 0;
    };

    // The array a vertex buffer was last drawn through, kept with the buffer so that drawing it
    // again needs no search; stale once any array is deleted.
    struct Hint {
        const FfVertexArrays* owner = nullptr;
        std::uint64_t generation = 0;
        DWORD fvf = 0;
        Source source;
        GLuint vao = 0;
    };

    explicit FfVertexArrays(GlStateCache& cache) : cache_(cache) {}
    ~FfVertexArrays();
    FfVertexArrays(const FfVertexArrays&) = delete;
    FfVertexArrays& operator=(const FfVertexArrays&) = delete;

    // Binds an array reading `source` in the layout of `fvf`.
    void bindForBuffers(DWORD fvf, const Source& source, Hint* hint = nullptr);
    void bindForStream(DWORD fvf, const Source& source);

    // OpenGL reuses deleted buffer names: nothing may still read through them.
    void forgetBuffers(std::vector<GLuint> names);

    std::size_t bufferArrayCount() const { return bufferArrays_.size(); }
    // More arrays than any scene needs means sources that keep changing: start over then.
    static constexpr std::size_t kMaxBufferArrays = 8192;

private:
    static bool same(const Source& a, const Source& b)
    {
        return a.buffer == b.buffer && a.offset == b.offset && a.stride == b.stride && a.elements == b.elements;
    }
    struct Key {
        DWORD fvf;
        Source source;
        bool operator==(const Key& other) const { return fvf == other.fvf && same(source, other.source); }
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct StreamArray {
        GLuint name = 0;
        Source source{~0u, -1, -1, ~0u};
    };

    GLuint create(DWORD fvf);
    void release(GLuint name);
    void releaseBufferArrays();

    GlStateCache& cache_;
    // Rises whenever arrays are deleted, so hints naming them are no longer trusted.
    std::uint64_t generation_ = 1;
    std::unordered_map<Key, GLuint, KeyHash> bufferArrays_;
    std::map<DWORD, StreamArray> streamArrays_;
};

} // namespace d3dgl
