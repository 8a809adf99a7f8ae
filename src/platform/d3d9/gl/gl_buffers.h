// Vertex and index buffers of the OpenGL device: an OpenGL buffer object plus a CPU copy that
// Lock hands out, so locks never stall on the GPU and managed contents are never lost; Unlock
// uploads the locked range.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/ff_vertex_arrays.h"
#include "platform/d3d9/gl/gl_device_shared.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace d3dgl {

// The storage both buffer kinds share.
class GlBufferStorage {
public:
    GlBufferStorage(GlShared shared, UINT length);
    ~GlBufferStorage();
    HRESULT lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT unlock();
    GLuint name() const { return name_; }
    UINT length() const { return static_cast<UINT>(bytes_.size()); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    GlDeviceShared& shared() { return *shared_; }
    const GlShared& sharedPointer() const { return shared_; }

private:
    GlShared shared_;
    GLuint name_ = 0;
    std::vector<std::uint8_t> bytes_;
    bool locked_ = false;
    bool discard_ = false;
    bool readOnly_ = false;
    UINT lockOffset_ = 0, lockSize_ = 0;
};

class GlVertexBuffer final : public IDirect3DVertexBuffer9 {
public:
    GlVertexBuffer(GlShared shared, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override { return storage_.lock(offset, size, data, flags); }
    HRESULT Unlock() override { return storage_.unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    const GlBufferStorage& storage() const { return storage_; }
    FfVertexArrays::Hint& arrayHint() { return arrayHint_; }

private:
    GlBufferStorage storage_;
    ULONG references_ = 1;
    D3DVERTEXBUFFER_DESC desc_{};
    FfVertexArrays::Hint arrayHint_;
};

class GlIndexBuffer final : public IDirect3DIndexBuffer9 {
public:
    GlIndexBuffer(GlShared shared, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override { return storage_.lock(offset, size, data, flags); }
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;
    const GlBufferStorage& storage() const { return storage_; }
    D3DFORMAT format() const { return desc_.Format; }
    UINT indexSize() const { return desc_.Format == D3DFMT_INDEX32 ? 4 : 2; }

    // Smallest and largest index among count indices from first (which must be in range);
    // remembered until the next Unlock, since a mesh draws the same ranges every frame.
    void indexRange(UINT first, UINT count, UINT* lowest, UINT* highest);

private:
    GlBufferStorage storage_;
    struct KnownRange {
        UINT first, count, lowest, highest;
    };
    // Sorted by (first, count): a mesh has few ranges, and a binary search over a flat array
    // is cheaper per draw than a tree.
    std::vector<KnownRange> ranges_;
    static constexpr std::size_t kMaxKnownRanges = 1024;
    ULONG references_ = 1;
    D3DINDEXBUFFER_DESC desc_{};
};

// Smallest and largest of count indices of the given size (2 or 4 bytes).
std::pair<UINT, UINT> scanIndexRange(const void* indices, UINT count, UINT indexSize);

} // namespace d3dgl
