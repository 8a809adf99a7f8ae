// Inside the trace player: the objects the trace made (by handle), what is locked, and the
// shadow copies of what the device would read (buffer sizes, index contents, stream 0), so
// draws that would read outside their buffers are refused before reaching the device.
// Private to trace_player*.cpp.
#pragma once

#include "platform/d3d9/trace/trace_calls.h"
#include "platform/d3d9/trace/trace_player.h"

#include <cstdint>
#include <map>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace traceplay {

using tracefield::Status;

enum class Kind { Texture, Surface, VertexBuffer, IndexBuffer };

template <class Interface> constexpr Kind kKindOf = Kind::Texture;
template <> inline constexpr Kind kKindOf<IDirect3DSurface9> = Kind::Surface;
template <> inline constexpr Kind kKindOf<IDirect3DVertexBuffer9> = Kind::VertexBuffer;
template <> inline constexpr Kind kKindOf<IDirect3DIndexBuffer9> = Kind::IndexBuffer;

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
    ~Player();

    bool run();

    // ---- what the field kinds of trace_fields.h use
    TraceReader& in() { return in_; }
    template <class Stored, class A>
    Status readObject(A& object)
    {
        std::uint32_t handle;
        if (!in_.readHandle(handle)) return Status::Error;
        Object* found = nullptr;
        const Status status = lookup(handle, kKindOf<Stored>, found);
        object = found ? static_cast<Stored*>(found->object) : nullptr;
        return status;
    }
    template <bool kCreated>
    Status readResult(std::uint32_t& handle)
    {
        if (!in_.readHandle(handle)) return Status::Error;
        if (!kCreated) return Status::Ok;
        if (handle == 0) return Status::Omit; // it failed in the recording too
        return defineNew(handle) ? Status::Ok : Status::Error;
    }
    template <class Stored, bool kCreated>
    bool keepResult(std::uint32_t handle, IUnknown* object, HRESULT hr)
    {
        return kCreated ? define(handle, object, hr, kKindOf<Stored>) : adopt(handle, object, hr, kKindOf<Stored>);
    }

private:
    bool dispatch();
    template <class Call, class... Field, class Target, class... A>
    bool play(HRESULT (Target::*method)(A...), void (*)(Field...));
    template <class Call, class Line, class Target, class... A>
    bool play(HRESULT (Target::*)(A...), void (*)(tracefield::Whole<Line>)) { return playWhole(Line{}); }

    // Checks and bookkeeping around particular calls (trace_player_rules.cpp); false skips.
    template <class Call, class... A>
    bool before(Call, A...) { return true; }
    template <class Call, class... A>
    void after(Call, HRESULT, A...) {}
    template <class... A>
    bool before(tracecall::Present, A...) { return beforePresent(); }
    bool beforePresent();
    bool before(tracecall::SetFVF, DWORD fvf);
    bool before(tracecall::SetStreamSource, UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
    bool before(tracecall::SetIndices, IDirect3DIndexBuffer9* buffer);
    bool before(tracecall::GetRenderTargetData, IDirect3DSurface9* source, IDirect3DSurface9* destination);
    bool before(tracecall::DrawPrimitive, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitives);
    bool before(tracecall::DrawIndexedPrimitive, D3DPRIMITIVETYPE type, int base, UINT minIndex, UINT numVertices,
                UINT startIndex, UINT primitives);
    void after(tracecall::CreateVertexBuffer, HRESULT, UINT length, DWORD, DWORD, D3DPOOL,
               IDirect3DVertexBuffer9** buffer, HANDLE*);
    void after(tracecall::CreateIndexBuffer, HRESULT, UINT length, DWORD, D3DFORMAT format, D3DPOOL,
               IDirect3DIndexBuffer9** buffer, HANDLE*);

    bool playWhole(tracefield::ClearLine);
    bool playWhole(tracefield::DrawUpLine);
    bool playWhole(tracefield::DrawIndexedUpLine);

    // ---- objects (trace_player_objects.cpp)
    // Outcome of looking a handle up: a live object, a handle whose creation failed on
    // this device (calls using it are skipped: Skip), or an error in the trace.
    Status lookup(std::uint32_t handle, Kind kind, Object*& found);
    bool defineNew(std::uint32_t handle);
    bool define(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent = 0);
    bool adopt(std::uint32_t handle, IUnknown* object, HRESULT hr, Kind kind, std::uint32_t parent = 0);
    Object* byPointer(IUnknown* object);
    void unlockRect(const std::pair<std::uint32_t, std::uint32_t>& key);
    void unlockBuffer(std::uint32_t handle);

    // The handler of object calls the player reads nothing from.
    bool Query() { return true; }
    bool onGetSurfaceLevel();
    bool onLockRect();
    bool onUnlockRect();
    bool onLockBuffer();
    bool onUnlockBuffer();
    bool onRelease();
    bool lockRect(std::uint32_t handle, std::uint32_t level, Object& object, const RECT* rect, std::uint32_t flags);
    bool drawChecksVertices(unsigned long long firstVertex, unsigned long long vertexCount);
    bool indicesInRange(const std::uint8_t* indices, unsigned long long count, unsigned indexSize, UINT minIndex,
                        UINT numVertices);

    void count(HRESULT hr);
    // A call that would be unsafe or impossible on this device: skipped, counted as failed.
    bool skip()
    {
        count(D3DERR_INVALIDCALL);
        return true;
    }

    IDirect3DDevice9* device_;
    const TraceReplayOptions& options_;
    TraceReader& in_;
    TraceReplayResult& result_;
    std::map<std::uint32_t, Object> objects_;
    std::unordered_set<std::uint32_t> dead_;
    std::map<std::pair<std::uint32_t, std::uint32_t>, RectLock> rectLocks_;
    std::map<std::uint32_t, BufferLock> bufferLocks_;
    IDirect3DVertexBuffer9* stream0_ = nullptr;
    std::uint32_t stream0Offset_ = 0;
    std::uint32_t stream0Stride_ = 0;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    std::uint32_t fvf_ = 0;
};

} // namespace traceplay
