// The trace player: one handler per call name, a table of the objects the trace made, and
// shadow copies of what the device would read (buffer sizes, index contents, stream 0) so
// draws that would read outside their buffers are refused before reaching the device.
// Compiles against our device API and, with TRACE_NATIVE_D3D9, against <d3d9.h>.
#include "platform/d3d9/trace/trace_player.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

unsigned traceBytesPerPixel(unsigned format)
{
    switch (format) {
    case 21: // A8R8G8B8
    case 22: // X8R8G8B8
        return 4;
    case 20: // R8G8B8
        return 3;
    case 23: // R5G6B5
    case 51: // A8L8
        return 2;
    case 50: // L8
        return 1;
    default:
        return 0;
    }
}

unsigned long long traceVertexCount(unsigned type, unsigned long long primitiveCount)
{
    switch (type) {
    case 1: return primitiveCount;                               // point list
    case 2: return primitiveCount * 2;                           // line list
    case 3: return primitiveCount ? primitiveCount + 1 : 0;      // line strip
    case 4: return primitiveCount * 3;                           // triangle list
    case 5:
    case 6: return primitiveCount ? primitiveCount + 2 : 0;      // strip, fan
    default: return 0;
    }
}

bool readTraceHeader(std::string_view text, TraceHeader& header, std::string& error)
{
    TraceReader reader(text);
    if (reader.readHeader(header))
        return true;
    error = reader.error();
    return false;
}

namespace {

// Size of one vertex of a flexible vertex format as the device reads it.
unsigned long long fvfSize(std::uint32_t fvf)
{
    unsigned long long size = 0;
    switch (fvf & 0x400E) {
    case 0x002: size += 12; break; // XYZ
    case 0x004: size += 16; break; // XYZRHW
    default: break;
    }
    if (fvf & 0x010) size += 12; // NORMAL
    if (fvf & 0x020) size += 4;  // PSIZE
    if (fvf & 0x040) size += 4;  // DIFFUSE
    if (fvf & 0x080) size += 4;  // SPECULAR
    size += ((fvf & 0xF00) >> 8) * 8;
    return size;
}

enum class Kind { Texture, Surface, VertexBuffer, IndexBuffer };

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::Texture: return "a texture";
    case Kind::Surface: return "a surface";
    case Kind::VertexBuffer: return "a vertex buffer";
    case Kind::IndexBuffer: return "an index buffer";
    }
    return "?";
}

struct Object {
    IUnknown* object = nullptr;
    Kind kind = Kind::Surface;
    std::uint32_t parent = 0;           // the texture of a surface level
    unsigned long long length = 0;      // buffers: bytes
    unsigned indexSize = 2;             // index buffers
    std::vector<std::uint8_t> indexShadow;
};

struct RectLock {
    std::uint8_t* bits = nullptr;
    int pitch = 0;
    std::size_t rowBytes = 0;
    std::size_t rows = 0;
};

struct BufferLock {
    std::uint8_t* bits = nullptr;
    std::uint32_t offset = 0;
    std::size_t size = 0;
};

class Player {
public:
    Player(IDirect3DDevice9* device, const TraceReplayOptions& options, TraceReader& reader, TraceReplayResult& result)
        : device_(device), options_(options), in_(reader), result_(result)
    {
    }

    ~Player()
    {
        for (auto& entry : rectLocks_)
            unlockRect(entry.first);
        for (auto& entry : bufferLocks_)
            unlockBuffer(entry.first);
        for (auto& entry : objects_)
            entry.second.object->Release();
    }

    bool run()
    {
        while (in_.next()) {
            if (!dispatch())
                return false;
            ++result_.calls;
        }
        return !in_.failed();
    }

private:
    // Outcome of looking a handle up: a live object, a handle whose creation failed on
    // this device (calls using it are skipped), or an error in the trace.
    enum class Lookup { Found, Dead, Error };

    bool dispatch();

    void count(HRESULT hr)
    {
        if (hr < 0) {
            if (result_.failedCalls++ == 0) {
                char code[16];
                std::snprintf(code, sizeof code, "0x%08x", static_cast<unsigned>(hr));
                result_.firstFailure = "line " + std::to_string(in_.lineNumber()) + ": " + std::string(in_.name()) +
                                       " returned " + code;
            }
        }
    }
    // A call that would be unsafe or impossible on this device: skipped, counted as failed.
    bool skip()
    {
        count(static_cast<HRESULT>(0x8876086C)); // D3DERR_INVALIDCALL
        return true;
    }

    Lookup lookup(std::uint32_t handle, Kind kind, Object*& found)
    {
        found = nullptr;
        if (handle == 0)
            return Lookup::Found;
        auto it = objects_.find(handle);
        if (it == objects_.end()) {
            if (dead_.count(handle))
                return Lookup::Dead;
            in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " was never defined");
            return Lookup::Error;
        }
        if (it->second.kind != kind) {
            in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " is " +
                     kindName(it->second.kind) + ", not " + kindName(kind));
            return Lookup::Error;
        }
        found = &it->second;
        return Lookup::Found;
    }

    bool defineNew(std::uint32_t handle)
    {
        if (objects_.count(handle) || dead_.count(handle))
            return in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " is already in use");
        return true;
    }

    // Registers what a creating call returned; a failed creation makes the handle dead.
    bool define(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent = 0)
    {
        count(hr);
        if (hr < 0 || !object) {
            if (object)
                object->Release();
            dead_.insert(handle);
            return true;
        }
        Object entry;
        entry.object = object;
        entry.kind = kind;
        entry.parent = parent;
        objects_.emplace(handle, std::move(entry));
        return true;
    }

    // Registers a surface or texture a Get call returned (one reference kept per handle).
    bool adopt(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent = 0)
    {
        count(hr);
        if (hr < 0 || !object || handle == 0) {
            if (object)
                object->Release();
            return true;
        }
        auto it = objects_.find(handle);
        if (it != objects_.end()) {
            object->Release();
            if (it->second.kind != kind)
                return in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " is " +
                                kindName(it->second.kind) + ", not " + kindName(kind));
            return true;
        }
        dead_.erase(handle);
        Object entry;
        entry.object = object;
        entry.kind = kind;
        entry.parent = parent;
        objects_.emplace(handle, std::move(entry));
        return true;
    }

    bool release(std::uint32_t handle)
    {
        if (dead_.erase(handle))
            return true;
        auto it = objects_.find(handle);
        if (it == objects_.end())
            return in_.fail("Release: handle @" + std::to_string(handle) + " was never defined");
        std::vector<std::uint32_t> doomed{handle};
        for (auto& entry : objects_)
            if (entry.second.parent == handle)
                doomed.push_back(entry.first);
        for (std::uint32_t h : doomed) {
            for (auto lock = rectLocks_.begin(); lock != rectLocks_.end();)
                lock = lock->first.first == h ? (unlockRect(lock->first), rectLocks_.erase(lock)) : std::next(lock);
            if (bufferLocks_.count(h)) {
                unlockBuffer(h);
                bufferLocks_.erase(h);
            }
            if (stream0_ == h)
                stream0_ = 0;
            if (indices_ == h)
                indices_ = 0;
            objects_[h].object->Release();
            objects_.erase(h);
        }
        return true;
    }

    void unlockRect(const std::pair<std::uint32_t, std::uint32_t>& key)
    {
        Object& object = objects_[key.first];
        if (object.kind == Kind::Texture)
            static_cast<IDirect3DTexture9*>(object.object)->UnlockRect(key.second);
        else
            static_cast<IDirect3DSurface9*>(object.object)->UnlockRect();
    }

    void unlockBuffer(std::uint32_t handle)
    {
        Object& object = objects_[handle];
        if (object.kind == Kind::VertexBuffer)
            static_cast<IDirect3DVertexBuffer9*>(object.object)->Unlock();
        else
            static_cast<IDirect3DIndexBuffer9*>(object.object)->Unlock();
    }

    // "-" or four integers.
    bool readRect(RECT& rect, bool& present)
    {
        present = !in_.takeDash();
        if (!present)
            return true;
        std::int32_t l, t, r, b;
        if (!in_.readSigned(l) || !in_.readSigned(t) || !in_.readSigned(r) || !in_.readSigned(b))
            return false;
        rect.left = l;
        rect.top = t;
        rect.right = r;
        rect.bottom = b;
        return true;
    }

    bool lockRect(std::uint32_t handle, std::uint32_t level, Object& object, const RECT* rect, std::uint32_t flags);
    bool unlockRectWithData(std::uint32_t handle, std::uint32_t level);
    bool lockBuffer(std::uint32_t handle, Kind kind);
    bool unlockBufferWithData(Kind kind);
    bool drawChecksVertices(unsigned long long firstVertex, unsigned long long vertexCount);

    bool onClear();
    bool onSetTransform();
    bool onSetLight();
    bool onSetMaterial();
    bool onCreate();
    bool onDrawIndexedPrimitive();
    bool onDrawPrimitiveUP();
    bool onDrawIndexedPrimitiveUP();

    IDirect3DDevice9* device_;
    const TraceReplayOptions& options_;
    TraceReader& in_;
    TraceReplayResult& result_;
    std::map<std::uint32_t, Object> objects_;
    std::unordered_set<std::uint32_t> dead_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, RectLock> rectLocks_;
    std::map<std::uint32_t, BufferLock> bufferLocks_;
    std::uint32_t stream0_ = 0;
    std::uint32_t stream0Offset_ = 0;
    std::uint32_t stream0Stride_ = 0;
    std::uint32_t indices_ = 0;
    std::uint32_t fvf_ = 0;
};

bool Player::lockRect(std::uint32_t handle, std::uint32_t level, Object& object, const RECT* rect, std::uint32_t flags)
{
    const auto key = std::make_pair(handle, level);
    if (rectLocks_.count(key))
        return skip();
    D3DSURFACE_DESC desc{};
    HRESULT hr = object.kind == Kind::Texture
                     ? static_cast<IDirect3DTexture9*>(object.object)->GetLevelDesc(level, &desc)
                     : static_cast<IDirect3DSurface9*>(object.object)->GetDesc(&desc);
    if (hr < 0)
        return skip();
    const unsigned bpp = traceBytesPerPixel(desc.Format);
    RECT area{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > area.right || rect->bottom > area.bottom)
            return skip();
        area = *rect;
    }
    if (bpp == 0)
        return skip();
    D3DLOCKED_RECT locked{};
    hr = object.kind == Kind::Texture
             ? static_cast<IDirect3DTexture9*>(object.object)->LockRect(level, &locked, rect, flags)
             : static_cast<IDirect3DSurface9*>(object.object)->LockRect(&locked, rect, flags);
    count(hr);
    if (hr < 0)
        return true;
    RectLock lock;
    lock.bits = static_cast<std::uint8_t*>(locked.pBits);
    lock.pitch = locked.Pitch;
    lock.rowBytes = static_cast<std::size_t>(area.right - area.left) * bpp;
    lock.rows = static_cast<std::size_t>(area.bottom - area.top);
    rectLocks_[key] = lock;
    if (!lock.bits || locked.Pitch < 0 || static_cast<std::size_t>(locked.Pitch) < lock.rowBytes) {
        unlockRect(key);
        rectLocks_.erase(key);
        return skip();
    }
    return true;
}

bool Player::unlockRectWithData(std::uint32_t handle, std::uint32_t level)
{
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readHex(data, present) || !in_.expectEnd())
        return false;
    const auto key = std::make_pair(handle, level);
    auto it = rectLocks_.find(key);
    if (it == rectLocks_.end())
        return skip(); // its lock failed here (or in the recording)
    const RectLock lock = it->second;
    if (present && data.size() != lock.rowBytes * lock.rows)
        return in_.fail(std::string(in_.name()) + ": " + std::to_string(data.size()) + " bytes of data for a " +
                        std::to_string(lock.rowBytes) + " x " + std::to_string(lock.rows) + " byte lock");
    if (present)
        for (std::size_t row = 0; row < lock.rows; ++row)
            std::memcpy(lock.bits + row * static_cast<std::size_t>(lock.pitch), data.data() + row * lock.rowBytes,
                        lock.rowBytes);
    unlockRect(key);
    rectLocks_.erase(it);
    return true;
}

bool Player::lockBuffer(std::uint32_t handle, Kind kind)
{
    std::uint32_t offset, size, flags;
    if (!in_.readUnsigned(offset) || !in_.readUnsigned(size) || !in_.readUnsigned(flags) || !in_.expectEnd())
        return false;
    Object* object = nullptr;
    Lookup found = lookup(handle, kind, object);
    if (found == Lookup::Error)
        return false;
    if (!object)
        return skip();
    if (bufferLocks_.count(handle) || offset > object->length || size > object->length - offset)
        return skip();
    void* bits = nullptr;
    HRESULT hr = kind == Kind::VertexBuffer
                     ? static_cast<IDirect3DVertexBuffer9*>(object->object)->Lock(offset, size, &bits, flags)
                     : static_cast<IDirect3DIndexBuffer9*>(object->object)->Lock(offset, size, &bits, flags);
    count(hr);
    if (hr < 0 || !bits) {
        if (hr >= 0)
            unlockBuffer(handle);
        return true;
    }
    BufferLock lock;
    lock.bits = static_cast<std::uint8_t*>(bits);
    lock.offset = offset;
    lock.size = size == 0 ? static_cast<std::size_t>(object->length - offset) : size;
    bufferLocks_[handle] = lock;
    return true;
}

bool Player::unlockBufferWithData(Kind kind)
{
    std::uint32_t handle;
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readHandle(handle) || !in_.readHex(data, present) || !in_.expectEnd())
        return false;
    Object* object = nullptr;
    Lookup found = lookup(handle, kind, object);
    if (found == Lookup::Error)
        return false;
    auto it = bufferLocks_.find(handle);
    if (!object || it == bufferLocks_.end())
        return skip();
    const BufferLock lock = it->second;
    if (present && data.size() != lock.size)
        return in_.fail(std::string(in_.name()) + ": " + std::to_string(data.size()) + " bytes of data for a " +
                        std::to_string(lock.size) + "-byte lock");
    if (present) {
        std::memcpy(lock.bits, data.data(), data.size());
        if (kind == Kind::IndexBuffer)
            std::memcpy(object->indexShadow.data() + lock.offset, data.data(), data.size());
    }
    unlockBuffer(handle);
    bufferLocks_.erase(it);
    return true;
}

// Vertices [firstVertex, firstVertex + vertexCount) of stream 0 lie inside its buffer.
bool Player::drawChecksVertices(unsigned long long firstVertex, unsigned long long vertexCount)
{
    auto it = objects_.find(stream0_);
    if (stream0_ == 0 || it == objects_.end() || vertexCount == 0 || stream0Stride_ == 0)
        return false;
    const unsigned long long vertexSize = fvfSize(fvf_) ? fvfSize(fvf_) : stream0Stride_;
    const unsigned long long last = firstVertex + vertexCount - 1;
    if (last > (1ull << 32))
        return false;
    return stream0Offset_ + last * stream0Stride_ + vertexSize <= it->second.length;
}

bool Player::onClear()
{
    std::uint32_t rectCount, hasRects, flags, colour, stencil;
    float z;
    if (!in_.readUnsigned(rectCount) || !in_.readUnsigned(hasRects) || !in_.readUnsigned(flags) ||
        !in_.readUnsigned(colour) || !in_.readFloat(z) || !in_.readUnsigned(stencil))
        return false;
    std::vector<D3DRECT> rects;
    if (hasRects) {
        for (std::uint32_t k = 0; k < rectCount; ++k) {
            std::int32_t v[4];
            if (!in_.readSigned(v[0]) || !in_.readSigned(v[1]) || !in_.readSigned(v[2]) || !in_.readSigned(v[3]))
                return false;
            rects.push_back(D3DRECT{v[0], v[1], v[2], v[3]});
        }
        if (rects.empty())
            rects.push_back(D3DRECT{0, 0, 0, 0}); // a non-null list with count 0
    }
    if (!in_.expectEnd())
        return false;
    count(device_->Clear(rectCount, hasRects ? rects.data() : nullptr, flags, colour, z, stencil));
    return true;
}

bool Player::onSetTransform()
{
    std::uint32_t type;
    if (!in_.readUnsigned(type))
        return false;
    if (in_.takeDash())
        return in_.expectEnd() && skip();
    D3DMATRIX m;
    if (!in_.readFloats(&m._11, 16) || !in_.expectEnd())
        return false;
    count(device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(type), &m));
    return true;
}

bool Player::onSetMaterial()
{
    if (in_.takeDash())
        return in_.expectEnd() && skip();
    D3DMATERIAL9 m;
    float v[17];
    if (!in_.readFloats(v, 17) || !in_.expectEnd())
        return false;
    m.Diffuse = {v[0], v[1], v[2], v[3]};
    m.Ambient = {v[4], v[5], v[6], v[7]};
    m.Specular = {v[8], v[9], v[10], v[11]};
    m.Emissive = {v[12], v[13], v[14], v[15]};
    m.Power = v[16];
    count(device_->SetMaterial(&m));
    return true;
}

bool Player::onSetLight()
{
    std::uint32_t index, type;
    if (!in_.readUnsigned(index))
        return false;
    if (in_.takeDash())
        return in_.expectEnd() && skip();
    float v[25];
    if (!in_.readUnsigned(type) || !in_.readFloats(v, 25) || !in_.expectEnd())
        return false;
    D3DLIGHT9 light;
    light.Type = static_cast<D3DLIGHTTYPE>(type);
    light.Diffuse = {v[0], v[1], v[2], v[3]};
    light.Specular = {v[4], v[5], v[6], v[7]};
    light.Ambient = {v[8], v[9], v[10], v[11]};
    light.Position = {v[12], v[13], v[14]};
    light.Direction = {v[15], v[16], v[17]};
    light.Range = v[18];
    light.Falloff = v[19];
    light.Attenuation0 = v[20];
    light.Attenuation1 = v[21];
    light.Attenuation2 = v[22];
    light.Theta = v[23];
    light.Phi = v[24];
    count(device_->SetLight(index, &light));
    return true;
}

bool Player::onCreate()
{
    const std::string_view name = in_.name();
    std::uint32_t width = 0, height = 0, levels = 0, usage = 0, format = 0, pool = 0, handle = 0;
    if (name == "CreateTexture") {
        if (!in_.readUnsigned(width) || !in_.readUnsigned(height) || !in_.readUnsigned(levels) ||
            !in_.readUnsigned(usage) || !in_.readUnsigned(format) || !in_.readUnsigned(pool) ||
            !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        if (handle == 0)
            return true; // it failed in the recording too
        if (!defineNew(handle))
            return false;
        IDirect3DTexture9* texture = nullptr;
        HRESULT hr = device_->CreateTexture(width, height, levels, usage, static_cast<D3DFORMAT>(format),
                                            static_cast<D3DPOOL>(pool), &texture, nullptr);
        return define(handle, texture, hr, Kind::Texture);
    }
    if (name == "CreateOffscreenPlainSurface") {
        if (!in_.readUnsigned(width) || !in_.readUnsigned(height) || !in_.readUnsigned(format) ||
            !in_.readUnsigned(pool) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        if (handle == 0)
            return true;
        if (!defineNew(handle))
            return false;
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = device_->CreateOffscreenPlainSurface(width, height, static_cast<D3DFORMAT>(format),
                                                          static_cast<D3DPOOL>(pool), &surface, nullptr);
        return define(handle, surface, hr, Kind::Surface);
    }
    if (name == "CreateDepthStencilSurface") {
        std::uint32_t multiSample, quality, discard;
        if (!in_.readUnsigned(width) || !in_.readUnsigned(height) || !in_.readUnsigned(format) ||
            !in_.readUnsigned(multiSample) || !in_.readUnsigned(quality) || !in_.readUnsigned(discard) ||
            !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        if (handle == 0)
            return true;
        if (!defineNew(handle))
            return false;
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = device_->CreateDepthStencilSurface(width, height, static_cast<D3DFORMAT>(format),
                                                        static_cast<D3DMULTISAMPLE_TYPE>(multiSample), quality,
                                                        discard ? TRUE : FALSE, &surface, nullptr);
        return define(handle, surface, hr, Kind::Surface);
    }
    // Vertex and index buffers.
    std::uint32_t length, fvfOrFormat;
    if (!in_.readUnsigned(length) || !in_.readUnsigned(usage) || !in_.readUnsigned(fvfOrFormat) ||
        !in_.readUnsigned(pool) || !in_.readHandle(handle) || !in_.expectEnd())
        return false;
    if (handle == 0)
        return true;
    if (!defineNew(handle))
        return false;
    if (name == "CreateVertexBuffer") {
        IDirect3DVertexBuffer9* buffer = nullptr;
        HRESULT hr = device_->CreateVertexBuffer(length, usage, fvfOrFormat, static_cast<D3DPOOL>(pool), &buffer, nullptr);
        if (!define(handle, buffer, hr, Kind::VertexBuffer))
            return false;
    } else {
        IDirect3DIndexBuffer9* buffer = nullptr;
        HRESULT hr = device_->CreateIndexBuffer(length, usage, static_cast<D3DFORMAT>(fvfOrFormat),
                                                static_cast<D3DPOOL>(pool), &buffer, nullptr);
        if (!define(handle, buffer, hr, Kind::IndexBuffer))
            return false;
    }
    auto it = objects_.find(handle);
    if (it != objects_.end()) {
        it->second.length = length;
        if (it->second.kind == Kind::IndexBuffer) {
            it->second.indexSize = fvfOrFormat == 102 ? 4 : 2; // INDEX32 : INDEX16
            it->second.indexShadow.assign(length, 0);
        }
    }
    return true;
}

bool Player::onDrawIndexedPrimitive()
{
    std::uint32_t type, minIndex, numVertices, startIndex, primitives;
    std::int32_t base;
    if (!in_.readUnsigned(type) || !in_.readSigned(base) || !in_.readUnsigned(minIndex) ||
        !in_.readUnsigned(numVertices) || !in_.readUnsigned(startIndex) || !in_.readUnsigned(primitives) ||
        !in_.expectEnd())
        return false;
    auto ib = objects_.find(indices_);
    const unsigned long long indexCount = traceVertexCount(type, primitives);
    if (indices_ == 0 || ib == objects_.end() || indexCount == 0 || numVertices == 0)
        return skip();
    const Object& indexBuffer = ib->second;
    if ((startIndex + indexCount) * indexBuffer.indexSize > indexBuffer.length)
        return skip();
    const long long firstDeclared = static_cast<long long>(base) + minIndex;
    if (firstDeclared < 0 || !drawChecksVertices(static_cast<unsigned long long>(firstDeclared), numVertices))
        return skip();
    for (unsigned long long k = 0; k < indexCount; ++k) {
        const std::uint8_t* at = indexBuffer.indexShadow.data() + (startIndex + k) * indexBuffer.indexSize;
        std::uint32_t index = indexBuffer.indexSize == 4 ? (at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24)
                                                         : static_cast<std::uint32_t>(at[0] | at[1] << 8);
        if (index < minIndex || index - minIndex >= numVertices)
            return skip();
    }
    count(device_->DrawIndexedPrimitive(static_cast<D3DPRIMITIVETYPE>(type), base, minIndex, numVertices, startIndex,
                                        primitives));
    return true;
}

bool Player::onDrawPrimitiveUP()
{
    std::uint32_t type, primitives, stride;
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readUnsigned(type) || !in_.readUnsigned(primitives) || !in_.readUnsigned(stride) ||
        !in_.readHex(data, present) || !in_.expectEnd())
        return false;
    stream0_ = 0;
    const unsigned long long vertices = traceVertexCount(type, primitives);
    if (!present || stride == 0 || vertices == 0)
        return skip();
    if (data.size() != vertices * stride)
        return in_.fail("DrawPrimitiveUP: " + std::to_string(data.size()) + " bytes of vertices for " +
                        std::to_string(vertices) + " vertices of " + std::to_string(stride) + " bytes");
    if (fvfSize(fvf_) > stride)
        return skip();
    count(device_->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(type), primitives, data.data(), stride));
    return true;
}

bool Player::onDrawIndexedPrimitiveUP()
{
    std::uint32_t type, minIndex, numVertices, primitives, format, stride;
    std::vector<std::uint8_t> indices, vertices;
    bool haveIndices = false, haveVertices = false;
    if (!in_.readUnsigned(type) || !in_.readUnsigned(minIndex) || !in_.readUnsigned(numVertices) ||
        !in_.readUnsigned(primitives) || !in_.readUnsigned(format) || !in_.readUnsigned(stride) ||
        !in_.readHex(indices, haveIndices) || !in_.readHex(vertices, haveVertices) || !in_.expectEnd())
        return false;
    stream0_ = 0;
    indices_ = 0;
    const unsigned indexSize = format == 102 ? 4 : 2;
    const unsigned long long indexCount = traceVertexCount(type, primitives);
    if (!haveIndices || !haveVertices || stride == 0 || indexCount == 0 || (format != 101 && format != 102))
        return skip();
    if (indices.size() != indexCount * indexSize ||
        vertices.size() != (static_cast<unsigned long long>(minIndex) + numVertices) * stride)
        return in_.fail("DrawIndexedPrimitiveUP: data sizes do not match the counts");
    if (fvfSize(fvf_) > stride)
        return skip();
    for (unsigned long long k = 0; k < indexCount; ++k) {
        const std::uint8_t* at = indices.data() + k * indexSize;
        std::uint32_t index = indexSize == 4 ? (at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t(at[3]) << 24)
                                             : static_cast<std::uint32_t>(at[0] | at[1] << 8);
        if (index < minIndex || index - minIndex >= numVertices)
            return skip();
    }
    count(device_->DrawIndexedPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(type), minIndex, numVertices, primitives,
                                          indices.data(), static_cast<D3DFORMAT>(format), vertices.data(), stride));
    return true;
}

bool Player::dispatch()
{
    const std::string_view name = in_.name();
    std::uint32_t a = 0, b = 0, c = 0, handle = 0;

    if (name == "SetRenderState" || name == "SetSamplerState") {
        if (!in_.readUnsigned(a) || !in_.readUnsigned(b) || (name == "SetSamplerState" && !in_.readUnsigned(c)) ||
            !in_.expectEnd())
            return false;
        if (name == "SetRenderState")
            count(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(a), b));
        else
            count(device_->SetSamplerState(a, static_cast<D3DSAMPLERSTATETYPE>(b), c));
        return true;
    }
    if (name == "SetTextureStageState") {
        if (!in_.readUnsigned(a) || !in_.readUnsigned(b) || !in_.readUnsigned(c) || !in_.expectEnd())
            return false;
        count(device_->SetTextureStageState(a, static_cast<D3DTEXTURESTAGESTATETYPE>(b), c));
        return true;
    }
    if (name == "SetTransform")
        return onSetTransform();
    if (name == "SetViewport") {
        if (in_.takeDash())
            return in_.expectEnd() && skip();
        D3DVIEWPORT9 vp;
        std::uint32_t x, y, w, h;
        if (!in_.readUnsigned(x) || !in_.readUnsigned(y) || !in_.readUnsigned(w) || !in_.readUnsigned(h) ||
            !in_.readFloat(vp.MinZ) || !in_.readFloat(vp.MaxZ) || !in_.expectEnd())
            return false;
        vp.X = x;
        vp.Y = y;
        vp.Width = w;
        vp.Height = h;
        count(device_->SetViewport(&vp));
        return true;
    }
    if (name == "SetScissorRect") {
        RECT rect{};
        bool present = false;
        if (!readRect(rect, present) || !in_.expectEnd())
            return false;
        if (!present)
            return skip();
        count(device_->SetScissorRect(&rect));
        return true;
    }
    if (name == "SetMaterial")
        return onSetMaterial();
    if (name == "SetLight")
        return onSetLight();
    if (name == "LightEnable") {
        if (!in_.readUnsigned(a) || !in_.readUnsigned(b) || !in_.expectEnd())
            return false;
        count(device_->LightEnable(a, b ? TRUE : FALSE));
        return true;
    }
    if (name == "SetFVF") {
        if (!in_.readUnsigned(a) || !in_.expectEnd())
            return false;
        fvf_ = a;
        count(device_->SetFVF(a));
        return true;
    }
    if (name == "SetVertexShader") {
        if (!in_.readHandle(handle) || !in_.expectEnd())
            return false;
        if (handle != 0)
            return in_.fail("SetVertexShader: only the null shader (@0) is supported");
        count(device_->SetVertexShader(nullptr));
        return true;
    }
    if (name == "BeginScene" || name == "EndScene") {
        if (!in_.expectEnd())
            return false;
        count(name == "BeginScene" ? device_->BeginScene() : device_->EndScene());
        return true;
    }
    if (name == "Present") {
        if (!in_.expectEnd())
            return false;
        if (options_.beforePresent)
            options_.beforePresent(device_, result_.presents);
        ++result_.presents;
        count(device_->Present(nullptr, nullptr, nullptr, nullptr));
        return true;
    }
    if (name == "Clear")
        return onClear();
    if (name == "CreateTexture" || name == "CreateOffscreenPlainSurface" || name == "CreateDepthStencilSurface" ||
        name == "CreateVertexBuffer" || name == "CreateIndexBuffer")
        return onCreate();
    if (name == "Release") {
        if (!in_.readHandle(handle) || !in_.expectEnd())
            return false;
        if (handle == 0)
            return in_.fail("Release: @0 is not an object");
        return release(handle);
    }
    if (name == "SetTexture") {
        if (!in_.readUnsigned(a) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        Object* texture = nullptr;
        Lookup found = lookup(handle, Kind::Texture, texture);
        if (found == Lookup::Error)
            return false;
        if (found == Lookup::Dead)
            return skip();
        count(device_->SetTexture(a, texture ? static_cast<IDirect3DTexture9*>(texture->object) : nullptr));
        return true;
    }
    if (name == "GetTexture") {
        if (!in_.readUnsigned(a) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        IDirect3DBaseTexture9* texture = nullptr;
        HRESULT hr = device_->GetTexture(a, &texture);
        return adopt(handle, texture, hr, Kind::Texture);
    }
    if (name == "GetBackBuffer") {
        if (!in_.readUnsigned(a) || !in_.readUnsigned(b) || !in_.readUnsigned(c) || !in_.readHandle(handle) ||
            !in_.expectEnd())
            return false;
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = device_->GetBackBuffer(a, b, static_cast<D3DBACKBUFFER_TYPE>(c), &surface);
        return adopt(handle, surface, hr, Kind::Surface);
    }
    if (name == "GetRenderTarget") {
        if (!in_.readUnsigned(a) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = device_->GetRenderTarget(a, &surface);
        return adopt(handle, surface, hr, Kind::Surface);
    }
    if (name == "GetDepthStencilSurface") {
        if (!in_.readHandle(handle) || !in_.expectEnd())
            return false;
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = device_->GetDepthStencilSurface(&surface);
        return adopt(handle, surface, hr, Kind::Surface);
    }
    if (name == "TextureGetSurfaceLevel") {
        std::uint32_t textureHandle;
        if (!in_.readHandle(textureHandle) || !in_.readUnsigned(a) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        Object* texture = nullptr;
        Lookup found = lookup(textureHandle, Kind::Texture, texture);
        if (found == Lookup::Error)
            return false;
        if (!texture) {
            dead_.insert(handle);
            return skip();
        }
        IDirect3DSurface9* surface = nullptr;
        HRESULT hr = static_cast<IDirect3DTexture9*>(texture->object)->GetSurfaceLevel(a, &surface);
        return adopt(handle, surface, hr, Kind::Surface, textureHandle);
    }
    if (name == "SetRenderTarget" || name == "SetDepthStencilSurface") {
        const bool target = name == "SetRenderTarget";
        if ((target && !in_.readUnsigned(a)) || !in_.readHandle(handle) || !in_.expectEnd())
            return false;
        Object* surface = nullptr;
        Lookup found = lookup(handle, Kind::Surface, surface);
        if (found == Lookup::Error)
            return false;
        if (found == Lookup::Dead)
            return skip();
        auto* pointer = surface ? static_cast<IDirect3DSurface9*>(surface->object) : nullptr;
        count(target ? device_->SetRenderTarget(a, pointer) : device_->SetDepthStencilSurface(pointer));
        return true;
    }
    if (name == "GetRenderTargetData") {
        std::uint32_t source, dest;
        if (!in_.readHandle(source) || !in_.readHandle(dest) || !in_.expectEnd())
            return false;
        Object* from = nullptr;
        Object* to = nullptr;
        Lookup first = lookup(source, Kind::Surface, from);
        if (first == Lookup::Error)
            return false;
        Lookup second = lookup(dest, Kind::Surface, to);
        if (second == Lookup::Error)
            return false;
        if (!from || !to)
            return skip();
        count(device_->GetRenderTargetData(static_cast<IDirect3DSurface9*>(from->object),
                                           static_cast<IDirect3DSurface9*>(to->object)));
        return true;
    }
    if (name == "SetStreamSource") {
        if (!in_.readUnsigned(a) || !in_.readHandle(handle) || !in_.readUnsigned(b) || !in_.readUnsigned(c) ||
            !in_.expectEnd())
            return false;
        Object* buffer = nullptr;
        Lookup found = lookup(handle, Kind::VertexBuffer, buffer);
        if (found == Lookup::Error)
            return false;
        if (found == Lookup::Dead || a >= 16)
            return skip();
        if (a == 0) {
            stream0_ = buffer ? handle : 0;
            stream0Offset_ = b;
            stream0Stride_ = c;
        }
        count(device_->SetStreamSource(a, buffer ? static_cast<IDirect3DVertexBuffer9*>(buffer->object) : nullptr, b,
                                       c));
        return true;
    }
    if (name == "SetIndices") {
        if (!in_.readHandle(handle) || !in_.expectEnd())
            return false;
        Object* buffer = nullptr;
        Lookup found = lookup(handle, Kind::IndexBuffer, buffer);
        if (found == Lookup::Error)
            return false;
        if (found == Lookup::Dead)
            return skip();
        indices_ = buffer ? handle : 0;
        count(device_->SetIndices(buffer ? static_cast<IDirect3DIndexBuffer9*>(buffer->object) : nullptr));
        return true;
    }
    if (name == "DrawPrimitive") {
        if (!in_.readUnsigned(a) || !in_.readUnsigned(b) || !in_.readUnsigned(c) || !in_.expectEnd())
            return false;
        if (!drawChecksVertices(b, traceVertexCount(a, c)))
            return skip();
        count(device_->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(a), b, c));
        return true;
    }
    if (name == "DrawIndexedPrimitive")
        return onDrawIndexedPrimitive();
    if (name == "DrawPrimitiveUP")
        return onDrawPrimitiveUP();
    if (name == "DrawIndexedPrimitiveUP")
        return onDrawIndexedPrimitiveUP();
    if (name == "TextureLockRect" || name == "SurfaceLockRect") {
        const bool texture = name == "TextureLockRect";
        RECT rect{};
        bool present = false;
        if (!in_.readHandle(handle) || (texture && !in_.readUnsigned(a)) || !readRect(rect, present) ||
            !in_.readUnsigned(b) || !in_.expectEnd())
            return false;
        Object* object = nullptr;
        Lookup found = lookup(handle, texture ? Kind::Texture : Kind::Surface, object);
        if (found == Lookup::Error)
            return false;
        if (!object)
            return skip();
        return lockRect(handle, a, *object, present ? &rect : nullptr, b);
    }
    if (name == "TextureUnlockRect" || name == "SurfaceUnlockRect") {
        const bool texture = name == "TextureUnlockRect";
        if (!in_.readHandle(handle) || (texture && !in_.readUnsigned(a)))
            return false;
        Object* object = nullptr;
        if (lookup(handle, texture ? Kind::Texture : Kind::Surface, object) == Lookup::Error)
            return false;
        if (!object) {
            std::vector<std::uint8_t> ignored;
            bool present;
            return in_.readHex(ignored, present) && in_.expectEnd() && skip();
        }
        return unlockRectWithData(handle, a);
    }
    if (name == "VertexBufferLock" || name == "IndexBufferLock") {
        if (!in_.readHandle(handle))
            return false;
        return lockBuffer(handle, name == "VertexBufferLock" ? Kind::VertexBuffer : Kind::IndexBuffer);
    }
    if (name == "VertexBufferUnlock")
        return unlockBufferWithData(Kind::VertexBuffer);
    if (name == "IndexBufferUnlock")
        return unlockBufferWithData(Kind::IndexBuffer);

    // Queries change nothing on the device: nothing to replay.
    static const char* const queries[] = {
        "GetDeviceCaps", "GetRenderState", "GetTextureStageState", "GetSamplerState", "GetTransform",
        "GetViewport", "GetScissorRect", "GetMaterial", "GetLight", "GetLightEnable", "GetFVF",
        "SurfaceGetDesc", "TextureGetLevelDesc", "VertexBufferGetDesc", "IndexBufferGetDesc"};
    for (const char* query : queries)
        if (name == query)
            return true;
    return in_.fail("unknown call '" + std::string(name.substr(0, 40)) + "'");
}

} // namespace

TraceReplayResult replayTrace(std::string_view text, IDirect3DDevice9* device, const TraceReplayOptions& options)
{
    TraceReplayResult result;
    TraceReader reader(text);
    TraceHeader header;
    if (!reader.readHeader(header)) {
        result.error = reader.error();
        return result;
    }
    if (!device) {
        result.error = "no device to replay on";
        return result;
    }
    {
        Player player(device, options, reader, result);
        result.ok = player.run();
    }
    if (!result.ok)
        result.error = reader.error();
    return result;
}
