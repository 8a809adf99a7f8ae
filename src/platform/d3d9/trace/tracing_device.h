// A device that passes every call on to another one (any IDirect3DDevice9) and, while a
// trace is open, writes each call as its trace line (docs/trace-format.md). Its forwarding
// is generated from the call table. Textures, surfaces and buffers come back wrapped, so
// their locks are traced too; the wrappers keep what the program wrote into them, and the
// device keeps what is bound, so a trace opened at any frame starts with a prologue that
// makes every live object, uploads its contents and sets every state: each trace stands on
// its own. Tests derive from it to bend one call while the rest passes through.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/trace/trace_calls.h"
#include "platform/d3d9/trace/trace_reader.h"
#include "platform/d3d9/trace/traced_resources.h"

#include <array>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

class TracingDevice : public IDirect3DDevice9 {
public:
    static constexpr DWORD kSamplers = 16;
    static constexpr DWORD kStreams = 16;
    static constexpr DWORD kRenderTargets = 4;

    // Holds a reference on inner. header describes inner for the traces' first line; left
    // empty, it is read from inner's back buffer and depth surface when a trace opens.
    explicit TracingDevice(IDirect3DDevice9* inner, const TraceHeader& header = {});
    // One reference; Release deletes at zero. Public so that a test may keep one on its stack.
    ~TracingDevice() override;

    IDirect3DDevice9* inner() const { return inner_; }

    // Opens a trace: the header, the prologue, then every call until closeTrace.
    void openTrace(std::ostream& out);
    void closeTrace() { out_ = nullptr; }
    bool tracing() const { return out_ != nullptr; }

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;

#define TRACING_DEVICE_DECLARE(call, parameters, arguments, fields, replay) HRESULT call parameters override;
    TRACE_DEVICE_CALLS(TRACING_DEVICE_DECLARE)
#undef TRACING_DEVICE_DECLARE

    // ---- for the field kinds (trace_fields.h) and the wrappers
    // The inner device's object for one of ours; anything else passes unchanged.
    template <class A>
    A unwrap(A object)
    {
        auto* traced = object ? dynamic_cast<TracedResource*>(object) : nullptr;
        return traced ? static_cast<A>(traced->innerObject()) : object;
    }
    // The wrapper for an object the inner device created or returned (with its reference).
    template <bool kCreated, class Interface>
    Interface* wrap(Interface* object)
    {
        if constexpr (kCreated) return wrapNew(object);
        else return wrapFound(object);
    }
    unsigned handleOf(IUnknown* object);
    void emit(const TraceLine& line);
    template <class Call, class... A>
    void write(HRESULT hr, const A&... arguments)
    {
        if (out_) traceWrite<Call>(*this, hr, arguments...);
    }
    void adoptLevel(TracedSurface* level);
    void retire(TracedResource* resource);

private:
    template <class Call, class Method, class Signature>
    auto forwarder(Method method, Signature* signature);
    template <class Call, class... Field, class... A, class... Given>
    HRESULT forwardCall(HRESULT (IDirect3DDevice9::*method)(A...), void (*)(Field...), Given... given);
    template <class Call, class Line, class... A, class... Given>
    HRESULT forwardCall(HRESULT (IDirect3DDevice9::*method)(A...), void (*)(tracefield::Whole<Line>), Given... given);

    // What the device holds after a successful call (tracing_device.cpp).
    template <class Call, class... A>
    void note(Call, HRESULT, const A&...) {}
    void note(tracecall::SetTexture, HRESULT, DWORD stage, IDirect3DBaseTexture9* texture);
    void note(tracecall::SetRenderTarget, HRESULT, DWORD index, IDirect3DSurface9* surface);
    void note(tracecall::SetDepthStencilSurface, HRESULT, IDirect3DSurface9* surface);
    void note(tracecall::SetStreamSource, HRESULT, UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride);
    void note(tracecall::SetIndices, HRESULT, IDirect3DIndexBuffer9* buffer);
    void note(tracecall::SetLight, HRESULT, DWORD index, const D3DLIGHT9*);
    void note(tracecall::LightEnable, HRESULT, DWORD index, BOOL);
    void note(tracecall::DrawPrimitiveUP, HRESULT, D3DPRIMITIVETYPE, UINT, const void*, UINT);
    void note(tracecall::DrawIndexedPrimitiveUP, HRESULT, D3DPRIMITIVETYPE, UINT, UINT, UINT, const void*, D3DFORMAT,
              const void*, UINT);
    void note(tracecall::CreateTexture, HRESULT, UINT width, UINT height, UINT, DWORD usage, D3DFORMAT format,
              D3DPOOL pool, IDirect3DTexture9** texture, HANDLE*);
    void note(tracecall::CreateOffscreenPlainSurface, HRESULT, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
              IDirect3DSurface9** surface, HANDLE*);
    void note(tracecall::CreateDepthStencilSurface, HRESULT, UINT width, UINT height, D3DFORMAT format,
              D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL, IDirect3DSurface9** surface, HANDLE*);
    void note(tracecall::CreateVertexBuffer, HRESULT, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
              IDirect3DVertexBuffer9** buffer, HANDLE*);
    void note(tracecall::CreateIndexBuffer, HRESULT, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
              IDirect3DIndexBuffer9** buffer, HANDLE*);
    void note(tracecall::GetBackBuffer, HRESULT, UINT, UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface);
    void note(tracecall::GetRenderTarget, HRESULT, DWORD, IDirect3DSurface9** surface);
    void note(tracecall::GetDepthStencilSurface, HRESULT, IDirect3DSurface9** surface);
    // A surface the device owns (its back buffer, its automatic depth surface) stays wrapped
    // as long as the device lives, under one handle.
    void keepDeviceSurface(IDirect3DSurface9* surface, TracedOrigin origin);

    IDirect3DTexture9* wrapNew(IDirect3DTexture9* texture);
    IDirect3DSurface9* wrapNew(IDirect3DSurface9* surface);
    IDirect3DVertexBuffer9* wrapNew(IDirect3DVertexBuffer9* buffer);
    IDirect3DIndexBuffer9* wrapNew(IDirect3DIndexBuffer9* buffer);
    IDirect3DBaseTexture9* wrapFound(IDirect3DBaseTexture9* texture);
    IDirect3DSurface9* wrapFound(IDirect3DSurface9* surface);
    TracedResource* registered(TracedResource* resource);

    // A reference held for a binding, swapped for another.
    static void hold(TracedResource*& slot, IUnknown* object);

    // The prologue (tracing_prologue.cpp).
    void writeHeader();
    void writeObjects();
    void writeBindings();
    void writeStates();

    IDirect3DDevice9* inner_;
    TraceHeader header_;
    ULONG refs_ = 1;
    std::ostream* out_ = nullptr;
    unsigned nextHandle_ = 1;
    unsigned long long nextSequence_ = 1;
    std::unordered_map<IUnknown*, TracedResource*> byInner_;
    std::map<unsigned long long, TracedResource*> live_; // by creation, texture levels apart
    std::vector<TracedSurface*> deviceSurfaces_;
    std::set<DWORD> lights_;

    std::array<TracedResource*, kSamplers> textures_{};
    std::array<TracedResource*, kRenderTargets> renderTargets_{};
    bool renderTargetSet_ = false;      // render target 0 is no longer the back buffer it started with
    TracedResource* depthStencil_ = nullptr;
    bool depthStencilSet_ = false;      // the depth surface is no longer the automatic one
    struct Stream {
        TracedResource* buffer = nullptr;
        UINT offset = 0, stride = 0;
    };
    std::array<Stream, kStreams> streams_{};
    TracedResource* indices_ = nullptr;
};
