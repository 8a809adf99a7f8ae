// The trace player's objects: handles defined by creations and Get calls, their release, and
// the object calls (surface levels, rectangle and buffer locks with the data of the unlock).
#include "platform/d3d9/trace/trace_player_state.h"

#include <cstring>

namespace traceplay {

namespace {

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

bool startsWith(std::string_view name, std::string_view prefix) { return name.substr(0, prefix.size()) == prefix; }

} // namespace

Player::~Player()
{
    for (auto& entry : rectLocks_) unlockRect(entry.first);
    for (auto& entry : bufferLocks_) unlockBuffer(entry.first);
    for (auto& entry : objects_) entry.second.object->Release();
}

Status Player::lookup(std::uint32_t handle, Kind kind, Object*& found)
{
    found = nullptr;
    if (handle == 0) return Status::Ok;
    auto it = objects_.find(handle);
    if (it == objects_.end()) {
        if (dead_.count(handle)) return Status::Skip;
        in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " was never defined");
        return Status::Error;
    }
    if (it->second.kind != kind) {
        in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " is " +
                 kindName(it->second.kind) + ", not " + kindName(kind));
        return Status::Error;
    }
    found = &it->second;
    return Status::Ok;
}

bool Player::defineNew(std::uint32_t handle)
{
    if (objects_.count(handle) || dead_.count(handle))
        return in_.fail(std::string(in_.name()) + ": handle @" + std::to_string(handle) + " is already in use");
    return true;
}

// Registers what a creating call returned; a failed creation makes the handle dead.
bool Player::define(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent)
{
    if (hr < 0 || !object) {
        if (object) object->Release();
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
bool Player::adopt(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent)
{
    if (hr < 0 || !object || handle == 0) {
        if (object) object->Release();
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
    return define(handle, object, hr, kind, parent);
}

Object* Player::byPointer(IUnknown* object)
{
    if (!object) return nullptr;
    for (auto& entry : objects_)
        if (entry.second.object == object) return &entry.second;
    return nullptr;
}

bool Player::onRelease()
{
    std::uint32_t handle;
    if (!in_.readHandle(handle) || !in_.expectEnd()) return false;
    if (handle == 0) return in_.fail("Release: @0 is not an object");
    if (dead_.erase(handle)) return true;
    auto it = objects_.find(handle);
    if (it == objects_.end()) return in_.fail("Release: handle @" + std::to_string(handle) + " was never defined");
    std::vector<std::uint32_t> doomed{handle};
    for (auto& entry : objects_)
        if (entry.second.parent == handle) doomed.push_back(entry.first);
    for (std::uint32_t h : doomed) {
        for (auto lock = rectLocks_.begin(); lock != rectLocks_.end();)
            lock = lock->first.first == h ? (unlockRect(lock->first), rectLocks_.erase(lock)) : std::next(lock);
        if (bufferLocks_.count(h)) {
            unlockBuffer(h);
            bufferLocks_.erase(h);
        }
        IUnknown* object = objects_[h].object;
        if (stream0_ && static_cast<IUnknown*>(stream0_) == object) stream0_ = nullptr;
        if (indices_ && static_cast<IUnknown*>(indices_) == object) indices_ = nullptr;
        object->Release();
        objects_.erase(h);
    }
    return true;
}

void Player::unlockRect(const std::pair<std::uint32_t, std::uint32_t>& key)
{
    Object& object = objects_[key.first];
    if (object.kind == Kind::Texture)
        static_cast<IDirect3DTexture9*>(object.object)->UnlockRect(key.second);
    else
        static_cast<IDirect3DSurface9*>(object.object)->UnlockRect();
}

void Player::unlockBuffer(std::uint32_t handle)
{
    Object& object = objects_[handle];
    if (object.kind == Kind::VertexBuffer)
        static_cast<IDirect3DVertexBuffer9*>(object.object)->Unlock();
    else
        static_cast<IDirect3DIndexBuffer9*>(object.object)->Unlock();
}

// TextureGetSurfaceLevel @t level @s: the surface shares the texture's lifetime.
bool Player::onGetSurfaceLevel()
{
    std::uint32_t textureHandle, level, handle;
    if (!in_.readHandle(textureHandle) || !in_.readUnsigned(level) || !in_.readHandle(handle) || !in_.expectEnd())
        return false;
    Object* texture = nullptr;
    if (lookup(textureHandle, Kind::Texture, texture) == Status::Error) return false;
    if (!texture) {
        dead_.insert(handle);
        return skip();
    }
    IDirect3DSurface9* surface = nullptr;
    const HRESULT hr = static_cast<IDirect3DTexture9*>(texture->object)->GetSurfaceLevel(level, &surface);
    count(hr);
    return adopt(handle, surface, hr, Kind::Surface, textureHandle);
}

// TextureLockRect @t level rect flags, SurfaceLockRect @s rect flags.
bool Player::onLockRect()
{
    const Kind kind = startsWith(in_.name(), "Texture") ? Kind::Texture : Kind::Surface;
    std::uint32_t handle, level = 0, flags;
    tracefield::Rect::Slot<const RECT*> rect;
    if (!in_.readHandle(handle) || (kind == Kind::Texture && !in_.readUnsigned(level)) ||
        rect.read(*this) == Status::Error || !in_.readUnsigned(flags) || !in_.expectEnd())
        return false;
    Object* object = nullptr;
    if (lookup(handle, kind, object) == Status::Error) return false;
    if (!object) return skip();
    return lockRect(handle, level, *object, rect.pass(), flags);
}

bool Player::lockRect(std::uint32_t handle, std::uint32_t level, Object& object, const RECT* rect, std::uint32_t flags)
{
    const auto key = std::make_pair(handle, level);
    if (rectLocks_.count(key)) return skip();
    D3DSURFACE_DESC desc{};
    HRESULT hr = object.kind == Kind::Texture
                     ? static_cast<IDirect3DTexture9*>(object.object)->GetLevelDesc(level, &desc)
                     : static_cast<IDirect3DSurface9*>(object.object)->GetDesc(&desc);
    if (hr < 0) return skip();
    const unsigned bpp = d3dBytesPerPixel(desc.Format);
    RECT area{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > area.right || rect->bottom > area.bottom)
            return skip();
        area = *rect;
    }
    if (bpp == 0) return skip();
    D3DLOCKED_RECT locked{};
    hr = object.kind == Kind::Texture
             ? static_cast<IDirect3DTexture9*>(object.object)->LockRect(level, &locked, rect, flags)
             : static_cast<IDirect3DSurface9*>(object.object)->LockRect(&locked, rect, flags);
    count(hr);
    if (hr < 0) return true;
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

// TextureUnlockRect @t level hex, SurfaceUnlockRect @s hex.
bool Player::onUnlockRect()
{
    const Kind kind = startsWith(in_.name(), "Texture") ? Kind::Texture : Kind::Surface;
    std::uint32_t handle, level = 0;
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readHandle(handle) || (kind == Kind::Texture && !in_.readUnsigned(level)) ||
        !in_.readHex(data, present) || !in_.expectEnd())
        return false;
    Object* object = nullptr;
    if (lookup(handle, kind, object) == Status::Error) return false;
    const auto key = std::make_pair(handle, level);
    auto it = rectLocks_.find(key);
    if (!object || it == rectLocks_.end()) return skip(); // its lock failed here (or in the recording)
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

// VertexBufferLock @b offset size flags, IndexBufferLock @b offset size flags.
bool Player::onLockBuffer()
{
    const Kind kind = startsWith(in_.name(), "Vertex") ? Kind::VertexBuffer : Kind::IndexBuffer;
    std::uint32_t handle, offset, size, flags;
    if (!in_.readHandle(handle) || !in_.readUnsigned(offset) || !in_.readUnsigned(size) || !in_.readUnsigned(flags) ||
        !in_.expectEnd())
        return false;
    Object* object = nullptr;
    if (lookup(handle, kind, object) == Status::Error) return false;
    if (!object) return skip();
    if (bufferLocks_.count(handle) || offset > object->length || size > object->length - offset) return skip();
    void* bits = nullptr;
    const HRESULT hr = kind == Kind::VertexBuffer
                           ? static_cast<IDirect3DVertexBuffer9*>(object->object)->Lock(offset, size, &bits, flags)
                           : static_cast<IDirect3DIndexBuffer9*>(object->object)->Lock(offset, size, &bits, flags);
    count(hr);
    if (hr < 0 || !bits) {
        if (hr >= 0) unlockBuffer(handle);
        return true;
    }
    BufferLock lock;
    lock.bits = static_cast<std::uint8_t*>(bits);
    lock.offset = offset;
    lock.size = size == 0 ? static_cast<std::size_t>(object->length - offset) : size;
    bufferLocks_[handle] = lock;
    return true;
}

// VertexBufferUnlock @b hex, IndexBufferUnlock @b hex.
bool Player::onUnlockBuffer()
{
    const Kind kind = startsWith(in_.name(), "Vertex") ? Kind::VertexBuffer : Kind::IndexBuffer;
    std::uint32_t handle;
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readHandle(handle) || !in_.readHex(data, present) || !in_.expectEnd()) return false;
    Object* object = nullptr;
    if (lookup(handle, kind, object) == Status::Error) return false;
    auto it = bufferLocks_.find(handle);
    if (!object || it == bufferLocks_.end()) return skip();
    const BufferLock lock = it->second;
    if (present && data.size() != lock.size)
        return in_.fail(std::string(in_.name()) + ": " + std::to_string(data.size()) + " bytes of data for a " +
                        std::to_string(lock.size) + "-byte lock");
    if (present) {
        std::memcpy(lock.bits, data.data(), data.size());
        if (kind == Kind::IndexBuffer) std::memcpy(object->indexShadow.data() + lock.offset, data.data(), data.size());
    }
    unlockBuffer(handle);
    bufferLocks_.erase(it);
    return true;
}

} // namespace traceplay
