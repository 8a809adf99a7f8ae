// A Direct3D 9 device that draws nothing: the device core (every state with Direct3D's
// defaults and rules, the same as the OpenGL device's) over memory-backed resources, logging
// every call as one trace line (see docs/trace-format.md), so tests can see exactly what code
// under test asked of the device.
#pragma once

#include "platform/d3d9/core/device_core.h"
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/recording/recording_resources.h"
#include "platform/d3d9/trace/trace_calls.h"

#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

class RecordingDevice final : private d3dcore::DeviceBackend, public d3dcore::DeviceCore {
public:
    static constexpr DWORD kSamplers = d3dcore::kSamplerCount;
    static constexpr DWORD kStreams = d3dcore::kStreamCount;

    // One reference; Release deletes. autoDepthFormat D3DFMT_UNKNOWN means no automatic
    // depth-stencil surface (ZENABLE then starts FALSE).
    RecordingDevice(UINT width, UINT height, D3DFORMAT format, D3DFORMAT autoDepthFormat = D3DFMT_D24S8);

    using StreamBinding = d3dcore::DeviceCore::StreamBinding;

    // ---- what tests look at
    DWORD renderState(D3DRENDERSTATETYPE state) const;
    DWORD stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const;
    DWORD samplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const;
    D3DMATRIX transform(D3DTRANSFORMSTATETYPE type) const;
    IDirect3DBaseTexture9* texture(DWORD stage) const { return boundTexture(stage); }
    const D3DVIEWPORT9& viewport() const { return state_.viewport; }
    const RECT& scissorRect() const { return state_.scissor; }
    const D3DMATERIAL9& material() const { return state_.material; }
    // Null when the index was never set (nor enabled).
    const D3DLIGHT9* light(DWORD index) const;
    bool lightEnabled(DWORD index) const;
    StreamBinding streamSource(UINT stream) const { return boundStream(stream); }
    IDirect3DIndexBuffer9* indices() const { return boundIndices(); }
    DWORD fvf() const { return state_.fvf; }
    RecordingSurface* renderTarget() const { return static_cast<RecordingSurface*>(boundRenderTarget()); }
    RecordingSurface* depthStencil() const { return static_cast<RecordingSurface*>(boundDepthStencil()); }
    RecordingSurface* backBuffer() const { return static_cast<RecordingSurface*>(backBufferSurface()); }
    unsigned presentCount() const { return presents_; }
    unsigned drawCount() const { return draws_; }

    // Beyond this many bytes of live resource memory, creation fails with
    // D3DERR_OUTOFVIDEOMEMORY (lets tests exercise that path; keeps fuzzing bounded).
    void setMemoryLimit(std::size_t bytes) { memoryLimit_ = bytes; }
    std::size_t memoryInUse() const { return memoryInUse_; }

    // ---- the call log
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Lines whose call name (first word) is `name`.
    std::size_t countCalls(std::string_view name) const;
    // Off: lines go only to the trace stream (long recordings).
    void setKeepCalls(bool keep) { keepCalls_ = keep; }
    // The trace's first line: "Device width height backBufferFormat depthFormat".
    std::string traceHeader() const;
    // Writes the header, then every later call as it happens (null stops).
    void setTraceStream(std::ostream* stream);
    // Header plus the kept calls.
    void writeTrace(std::ostream& out) const;

    // ---- IDirect3DDevice9: each call is logged, then handled by the device core
#define RECORDING_DEVICE_DECLARE(call, parameters, arguments, fields, replay) HRESULT call parameters override;
    TRACE_DEVICE_CALLS(RECORDING_DEVICE_DECLARE)
#undef RECORDING_DEVICE_DECLARE

    // ---- used by the recording resources
    void log(const TraceLine& line);
    unsigned handleOf(RecordingResource* resource);
    unsigned handleOf(IUnknown* object);
    void retire(RecordingResource* resource, std::size_t bytes);
    bool reserveMemory(std::size_t bytes);

private:
    ~RecordingDevice() override;

    // Logs a call's line before it runs (after, when the line ends with its result).
    template <class Call, class Run, class... A>
    HRESULT recorded(Run run, const A&... arguments);

    // ---- the backend: memory-backed resources, clears that fill the target, draws that count
    bool owns(IUnknown* object, d3dcore::ObjectKind kind) const override;
    D3DSURFACE_DESC surfaceDesc(IDirect3DSurface9* surface) const override;
    UINT vertexBufferLength(IDirect3DVertexBuffer9* buffer) const override;
    UINT indexBufferLength(IDirect3DIndexBuffer9* buffer) const override;
    UINT indexSize(IDirect3DIndexBuffer9* buffer) const override;
    void indexRange(IDirect3DIndexBuffer9* buffer, UINT first, UINT count, UINT* lowest, UINT* highest) override;
    HRESULT createTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture) override;
    HRESULT createPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                               IDirect3DSurface9** surface) override;
    HRESULT createDepthSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface9** surface) override;
    HRESULT createVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer) override;
    HRESULT createIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer) override;
    void targetsChanged() override {}
    void clear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, const RECT& area) override;
    void draw(const d3dcore::DrawCall& call) override { ++draws_; }
    void present() override { ++presents_; }
    void readBack(IDirect3DSurface9* source, IDirect3DSurface9* destination) override;

    D3DFORMAT autoDepthFormat_;
    RecordingSurface* autoDepth_ = nullptr;
    unsigned presents_ = 0;
    unsigned draws_ = 0;

    std::vector<std::string> calls_;
    bool keepCalls_ = true;
    std::ostream* traceStream_ = nullptr;
    unsigned nextHandle_ = 1;
    bool destroying_ = false;
    std::unordered_set<RecordingResource*> live_;
    std::size_t memoryLimit_ = std::size_t(1) << 31;
    std::size_t memoryInUse_ = 0;
};

// Writes call-table lines into a recording device's log (nothing once the device is gone).
struct RecordingLogWriter {
    RecordingDevice* device;
    unsigned handleOf(IUnknown* object) { return device ? device->handleOf(object) : 0; }
    void emit(const TraceLine& line)
    {
        if (device) device->log(line);
    }
};
