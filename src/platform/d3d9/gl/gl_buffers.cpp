// Buffer storage with a CPU copy, and the two buffer interfaces (see gl_buffers.h).
#include "platform/d3d9/gl/gl_buffers.h"

#include <algorithm>
#include <cstring>

namespace d3dgl {

namespace {

HRESULT deviceOf(GlDeviceShared& shared, IDirect3DDevice9** device)
{
    if (!device) return D3DERR_INVALIDCALL;
    *device = shared.device;
    if (!*device) return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

} // namespace

GlBufferStorage::GlBufferStorage(GlShared shared, UINT length) : shared_(std::move(shared)), bytes_(length, 0)
{
    shared_->makeCurrent();
    glCreateBuffers(1, &name_);
    glNamedBufferData(name_, length, bytes_.data(), GL_DYNAMIC_DRAW);
}

GlBufferStorage::~GlBufferStorage()
{
    shared_->makeCurrent();
    shared_->noteBufferDeleted(name_);
    glDeleteBuffers(1, &name_);
}

HRESULT GlBufferStorage::lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data || locked_ || offset > bytes_.size()) return D3DERR_INVALIDCALL;
    if (size == 0) size = static_cast<UINT>(bytes_.size()) - offset;
    if (size > bytes_.size() - offset) return D3DERR_INVALIDCALL;
    locked_ = true;
    discard_ = (flags & D3DLOCK_DISCARD) != 0;
    readOnly_ = (flags & D3DLOCK_READONLY) != 0;
    lockOffset_ = offset;
    lockSize_ = size;
    *data = bytes_.data() + offset;
    return D3D_OK;
}

HRESULT GlBufferStorage::unlock()
{
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    if (readOnly_ || lockSize_ == 0) return D3D_OK;
    shared_->makeCurrent();
    if (discard_) {
        // A discarding lock gives the driver fresh storage instead of waiting for draws that
        // still read the old contents; the whole CPU copy goes up with it.
        glNamedBufferData(name_, static_cast<GLsizeiptr>(bytes_.size()), bytes_.data(), GL_DYNAMIC_DRAW);
    } else {
        glNamedBufferSubData(name_, lockOffset_, lockSize_, bytes_.data() + lockOffset_);
    }
    return D3D_OK;
}

GlVertexBuffer::GlVertexBuffer(GlShared shared, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : storage_(std::move(shared), length)
{
    desc_.Format = D3DFMT_UNKNOWN;
    desc_.Type = D3DRTYPE_VERTEXBUFFER;
    desc_.Usage = usage;
    desc_.Pool = pool;
    desc_.Size = length;
    desc_.FVF = fvf;
}

ULONG GlVertexBuffer::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT GlVertexBuffer::GetDevice(IDirect3DDevice9** device) { return deviceOf(storage_.shared(), device); }

HRESULT GlVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

GlIndexBuffer::GlIndexBuffer(GlShared shared, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : storage_(std::move(shared), length)
{
    desc_.Format = format;
    desc_.Type = D3DRTYPE_INDEXBUFFER;
    desc_.Usage = usage;
    desc_.Pool = pool;
    desc_.Size = length;
}

ULONG GlIndexBuffer::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT GlIndexBuffer::GetDevice(IDirect3DDevice9** device) { return deviceOf(storage_.shared(), device); }

HRESULT GlIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

HRESULT GlIndexBuffer::Unlock()
{
    ranges_.clear();
    return storage_.unlock();
}

void GlIndexBuffer::indexRange(UINT first, UINT count, UINT* lowest, UINT* highest)
{
    auto found = std::lower_bound(ranges_.begin(), ranges_.end(), std::make_pair(first, count),
                                  [](const KnownRange& range, const std::pair<UINT, UINT>& key) {
                                      return std::make_pair(range.first, range.count) < key;
                                  });
    if (found == ranges_.end() || found->first != first || found->count != count) {
        // Ranges drawn once each (a buffer refilled without Unlock, say) must not pile up.
        if (ranges_.size() >= kMaxKnownRanges) {
            ranges_.clear();
            found = ranges_.end();
        }
        const auto scanned =
            scanIndexRange(storage_.bytes() + static_cast<std::size_t>(first) * indexSize(), count, indexSize());
        found = ranges_.insert(found, KnownRange{first, count, scanned.first, scanned.second});
    }
    *lowest = found->lowest;
    *highest = found->highest;
}

std::pair<UINT, UINT> scanIndexRange(const void* indices, UINT count, UINT indexSize)
{
    UINT lowest = ~0u, highest = 0;
    for (UINT i = 0; i < count; ++i) {
        UINT value;
        if (indexSize == 4) {
            std::uint32_t v;
            std::memcpy(&v, static_cast<const std::uint8_t*>(indices) + 4 * static_cast<std::size_t>(i), 4);
            value = v;
        } else {
            std::uint16_t v;
            std::memcpy(&v, static_cast<const std::uint8_t*>(indices) + 2 * static_cast<std::size_t>(i), 2);
            value = v;
        }
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    if (count == 0) lowest = 0;
    return {lowest, highest};
}

} // namespace d3dgl
