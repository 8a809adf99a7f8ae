// Vertex arrays per buffer set and per streamed format (see ff_vertex_arrays.h).
#include "platform/d3d9/gl/ff_vertex_arrays.h"

#include "platform/d3d9/gl/ff_glsl.h"

#include <algorithm>
#include <cstdint>

namespace d3dgl {

FfVertexArrays::~FfVertexArrays()
{
    releaseBufferArrays();
    for (auto& entry : streamArrays_) release(entry.second.name);
}

std::size_t FfVertexArrays::KeyHash::operator()(const Key& key) const
{
    std::uint64_t h = key.fvf;
    for (std::uint64_t part : {std::uint64_t{key.source.buffer}, static_cast<std::uint64_t>(key.source.offset),
                               static_cast<std::uint64_t>(key.source.stride), std::uint64_t{key.source.elements}})
        h = (h ^ part) * 0x100000001B3ull + (h >> 29);
    return static_cast<std::size_t>(h);
}

GLuint FfVertexArrays::create(DWORD fvf)
{
    GLuint vao = 0;
    glCreateVertexArrays(1, &vao);
    GLuint offset = 0;
    auto attribute = [&](GLuint location, GLint size, GLenum type, GLboolean normalized, GLuint bytes) {
        glEnableVertexArrayAttrib(vao, location);
        glVertexArrayAttribFormat(vao, location, size, type, normalized, offset);
        glVertexArrayAttribBinding(vao, location, 0);
        offset += bytes;
    };
    // Flexible vertex format order: position, normal, point size, diffuse, specular, sets.
    if ((fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW)
        attribute(kAttribPosition, 4, GL_FLOAT, GL_FALSE, 16);
    else
        attribute(kAttribPosition, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_NORMAL) attribute(kAttribNormal, 3, GL_FLOAT, GL_FALSE, 12);
    if (fvf & D3DFVF_PSIZE) attribute(kAttribPointSize, 1, GL_FLOAT, GL_FALSE, 4);
    // D3DCOLOR is 0xAARRGGBB: bytes B, G, R, A in memory, which GL_BGRA reads as (R, G, B, A).
    if (fvf & D3DFVF_DIFFUSE) attribute(kAttribDiffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    if (fvf & D3DFVF_SPECULAR) attribute(kAttribSpecular, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 4);
    const DWORD sets = std::min<DWORD>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, D3D_MAX_STAGES);
    for (DWORD set = 0; set < sets; ++set) attribute(kAttribTexCoord0 + set, 2, GL_FLOAT, GL_FALSE, 8);
    return vao;
}

void FfVertexArrays::release(GLuint name)
{
    cache_.forgetVertexArray(name);
    glDeleteVertexArrays(1, &name);
}

void FfVertexArrays::releaseBufferArrays()
{
    for (auto& entry : bufferArrays_) release(entry.second);
    bufferArrays_.clear();
    ++generation_;
}

void FfVertexArrays::bindForBuffers(DWORD fvf, const Source& source, Hint* hint)
{
    if (hint && hint->owner == this && hint->generation == generation_ && hint->fvf == fvf &&
        same(hint->source, source)) {
        cache_.bindVertexArray(hint->vao);
        return;
    }
    const Key key{fvf, source};
    auto found = bufferArrays_.find(key);
    if (found == bufferArrays_.end()) {
        if (bufferArrays_.size() >= kMaxBufferArrays) releaseBufferArrays();
        const GLuint vao = create(fvf);
        glVertexArrayVertexBuffer(vao, 0, source.buffer, source.offset, source.stride);
        if (source.elements) glVertexArrayElementBuffer(vao, source.elements);
        found = bufferArrays_.emplace(key, vao).first;
    }
    cache_.bindVertexArray(found->second);
    if (hint) *hint = Hint{this, generation_, fvf, source, found->second};
}

void FfVertexArrays::bindForStream(DWORD fvf, const Source& source)
{
    StreamArray& array = streamArrays_[fvf];
    if (!array.name) array.name = create(fvf);
    // The array is bound from here on: binding through it spares the driver a lookup of the
    // array by name on every draw.
    cache_.bindVertexArray(array.name);
    if (array.source.buffer != source.buffer || array.source.offset != source.offset ||
        array.source.stride != source.stride) {
        glBindVertexBuffer(0, source.buffer, source.offset, source.stride);
        array.source.buffer = source.buffer;
        array.source.offset = source.offset;
        array.source.stride = source.stride;
    }
    if (source.elements && array.source.elements != source.elements) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, source.elements);
        array.source.elements = source.elements;
    }
}

void FfVertexArrays::forgetBuffers(std::vector<GLuint> names)
{
    if (names.empty()) return;
    std::sort(names.begin(), names.end());
    auto deleted = [&names](GLuint name) { return name && std::binary_search(names.begin(), names.end(), name); };
    for (auto it = bufferArrays_.begin(); it != bufferArrays_.end();) {
        if (deleted(it->first.source.buffer) || deleted(it->first.source.elements)) {
            release(it->second);
            it = bufferArrays_.erase(it);
            ++generation_;
        } else {
            ++it;
        }
    }
    for (auto& entry : streamArrays_) {
        StreamArray& array = entry.second;
        if (deleted(array.source.buffer)) array.source.buffer = ~0u;
        if (deleted(array.source.elements)) array.source.elements = ~0u;
    }
}

} // namespace d3dgl
