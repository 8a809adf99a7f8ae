// The vertex arrays the pipeline draws through. A draw from device buffers gets an array of
// its own per (format, vertex buffer, offset, stride, index buffer), so drawing mesh after
// mesh only switches arrays; draws streamed from user memory share one array per format and
// re-point it, since their offsets change with every draw.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/gl_state_cache.h"

#include <epoxy/gl.h>

#include <cstddef>
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

    explicit FfVertexArrays(GlStateCache& cache) : cache_(cache) {}
    ~FfVertexArrays();
    FfVertexArrays(const FfVertexArrays&) = delete;
    FfVertexArrays& operator=(const FfVertexArrays&) = delete;

    // Binds an array reading `source` in the layout of `fvf`.
    void bindForBuffers(DWORD fvf, const Source& source);
    void bindForStream(DWORD fvf, const Source& source);

    // OpenGL reuses deleted buffer names: nothing may still read through them.
    void forgetBuffers(std::vector<GLuint> names);

    std::size_t bufferArrayCount() const { return bufferArrays_.size(); }
    // More arrays than any scene needs means sources that keep changing: start over then.
    static constexpr std::size_t kMaxBufferArrays = 8192;

private:
    struct Key {
        DWORD fvf;
        Source source;
        bool operator==(const Key& other) const
        {
            return fvf == other.fvf && source.buffer == other.source.buffer && source.offset == other.source.offset &&
                   source.stride == other.source.stride && source.elements == other.source.elements;
        }
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
    std::unordered_map<Key, GLuint, KeyHash> bufferArrays_;
    std::map<DWORD, StreamArray> streamArrays_;
};

} // namespace d3dgl
