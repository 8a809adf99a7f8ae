// What a trace opened in the middle of a run starts with, so that it replays on a fresh
// device: the device's own surfaces the program holds, every live object made again with the
// contents the program wrote into it, what is bound, and every state as it stands (read back
// from the inner device), all as ordinary trace lines.
#include "platform/d3d9/d3d9_defaults.h"
#include "platform/d3d9/trace/tracing_device.h"

#include <cstring>
#include <ostream>

namespace {

constexpr HANDLE* kNoSharedHandle = nullptr;
// World matrices a device keeps (D3DTS_WORLDMATRIX(0) to (255)).
constexpr unsigned kWorldMatrices = 256;

} // namespace

void TracingDevice::openTrace(std::ostream& out)
{
    out_ = &out;
    writeHeader();
    writeObjects();
    writeBindings();
    writeStates();
}

void TracingDevice::writeHeader()
{
    if (header_.width == 0) {
        D3DSURFACE_DESC desc{};
        IDirect3DSurface9* surface = nullptr;
        if (SUCCEEDED(inner_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface)) && surface) {
            surface->GetDesc(&desc);
            surface->Release();
        }
        header_.width = desc.Width;
        header_.height = desc.Height;
        header_.backBufferFormat = desc.Format;
        surface = nullptr;
        if (SUCCEEDED(inner_->GetDepthStencilSurface(&surface)) && surface) {
            surface->GetDesc(&desc);
            header_.depthFormat = desc.Format;
            surface->Release();
        }
    }
    *out_ << TraceLine("Device").u(header_.width).u(header_.height).u(header_.backBufferFormat).u(header_.depthFormat).str()
          << '\n';
}

void TracingDevice::writeObjects()
{
    // A fresh device: its depth surface is still the automatic one.
    for (TracedSurface* surface : deviceSurfaces_) {
        IDirect3DSurface9* kept = surface;
        if (surface->origin == TracedOrigin::BackBuffer)
            write<tracecall::GetBackBuffer>(D3D_OK, 0u, 0u, D3DBACKBUFFER_TYPE_MONO, &kept);
        else
            write<tracecall::GetDepthStencilSurface>(D3D_OK, &kept);
    }
    for (auto& entry : live_) {
        TracedResource* resource = entry.second;
        if (auto* texture = dynamic_cast<TracedTexture*>(resource)) {
            IDirect3DTexture9* made = texture;
            write<tracecall::CreateTexture>(D3D_OK, texture->width, texture->height, texture->levelCount(),
                                            texture->usage, texture->format, texture->pool, &made, kNoSharedHandle);
            for (UINT level = 0; level < texture->levelCount(); ++level) {
                if (IDirect3DSurface9* surface = texture->levelSurface(level))
                    write<tracecall::TextureGetSurfaceLevel>(D3D_OK, made, level, &surface);
                const std::vector<std::uint8_t>& bytes = texture->levelShadow(level).bytes;
                if (bytes.empty()) continue;
                write<tracecall::TextureLockRect>(D3D_OK, made, level, static_cast<const RECT*>(nullptr), DWORD{0});
                write<tracecall::TextureUnlockRect>(D3D_OK, made, level, tracefield::Bytes{bytes.data(), bytes.size()});
            }
        } else if (auto* surface = dynamic_cast<TracedSurface*>(resource)) {
            IDirect3DSurface9* made = surface;
            const D3DSURFACE_DESC& d = surface->created;
            if (d.Usage & D3DUSAGE_DEPTHSTENCIL) {
                write<tracecall::CreateDepthStencilSurface>(D3D_OK, d.Width, d.Height, d.Format, d.MultiSampleType,
                                                            d.MultiSampleQuality, BOOL{FALSE}, &made, kNoSharedHandle);
                continue;
            }
            write<tracecall::CreateOffscreenPlainSurface>(D3D_OK, d.Width, d.Height, d.Format, d.Pool, &made,
                                                          kNoSharedHandle);
            const std::vector<std::uint8_t>& bytes = surface->shadow().bytes;
            if (bytes.empty()) continue;
            write<tracecall::SurfaceLockRect>(D3D_OK, made, static_cast<const RECT*>(nullptr), DWORD{0});
            write<tracecall::SurfaceUnlockRect>(D3D_OK, made, tracefield::Bytes{bytes.data(), bytes.size()});
        } else if (auto* vertices = dynamic_cast<TracedVertexBuffer*>(resource)) {
            IDirect3DVertexBuffer9* made = vertices;
            const BufferShadow& shadow = vertices->shadow();
            write<tracecall::CreateVertexBuffer>(D3D_OK, static_cast<UINT>(shadow.bytes.size()), vertices->usage,
                                                 vertices->fvf, vertices->pool, &made, kNoSharedHandle);
            if (!shadow.written) continue;
            write<tracecall::VertexBufferLock>(D3D_OK, made, 0u, 0u, DWORD{0});
            write<tracecall::VertexBufferUnlock>(D3D_OK, made, tracefield::Bytes{shadow.bytes.data(), shadow.bytes.size()});
        } else if (auto* indices = dynamic_cast<TracedIndexBuffer*>(resource)) {
            IDirect3DIndexBuffer9* made = indices;
            const BufferShadow& shadow = indices->shadow();
            write<tracecall::CreateIndexBuffer>(D3D_OK, static_cast<UINT>(shadow.bytes.size()), indices->usage,
                                                indices->format, indices->pool, &made, kNoSharedHandle);
            if (!shadow.written) continue;
            write<tracecall::IndexBufferLock>(D3D_OK, made, 0u, 0u, DWORD{0});
            write<tracecall::IndexBufferUnlock>(D3D_OK, made, tracefield::Bytes{shadow.bytes.data(), shadow.bytes.size()});
        }
    }
}

void TracingDevice::writeBindings()
{
    auto surfaceOf = [](TracedResource* resource) { return resource ? dynamic_cast<IDirect3DSurface9*>(resource) : nullptr; };
    // Render targets first: setting one resets the viewport, which comes with the states.
    if (renderTargetSet_) write<tracecall::SetRenderTarget>(D3D_OK, DWORD{0}, surfaceOf(renderTargets_[0]));
    for (DWORD k = 1; k < kRenderTargets; ++k)
        if (renderTargets_[k]) write<tracecall::SetRenderTarget>(D3D_OK, k, surfaceOf(renderTargets_[k]));
    if (depthStencilSet_) write<tracecall::SetDepthStencilSurface>(D3D_OK, surfaceOf(depthStencil_));
    for (DWORD stage = 0; stage < kSamplers; ++stage)
        if (textures_[stage])
            write<tracecall::SetTexture>(D3D_OK, stage, dynamic_cast<IDirect3DBaseTexture9*>(textures_[stage]));
    for (UINT k = 0; k < kStreams; ++k)
        if (streams_[k].buffer)
            write<tracecall::SetStreamSource>(D3D_OK, k, dynamic_cast<IDirect3DVertexBuffer9*>(streams_[k].buffer),
                                              streams_[k].offset, streams_[k].stride);
    if (indices_) write<tracecall::SetIndices>(D3D_OK, dynamic_cast<IDirect3DIndexBuffer9*>(indices_));
}

void TracingDevice::writeStates()
{
    DWORD value = 0;
    if (SUCCEEDED(inner_->GetFVF(&value))) write<tracecall::SetFVF>(D3D_OK, value);
    for (DWORD state = 0; state < D3DRS_STATE_COUNT; ++state)
        if (SUCCEEDED(inner_->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value)))
            write<tracecall::SetRenderState>(D3D_OK, static_cast<D3DRENDERSTATETYPE>(state), value);
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        for (DWORD type = 0; type < D3DTSS_STATE_COUNT; ++type)
            if (SUCCEEDED(inner_->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), &value)))
                write<tracecall::SetTextureStageState>(D3D_OK, stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), value);
    for (DWORD sampler = 0; sampler < kSamplers; ++sampler)
        for (DWORD type = 0; type < D3DSAMP_STATE_COUNT; ++type)
            if (SUCCEEDED(inner_->GetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), &value)))
                write<tracecall::SetSamplerState>(D3D_OK, sampler, static_cast<D3DSAMPLERSTATETYPE>(type), value);

    std::vector<D3DTRANSFORMSTATETYPE> transforms{D3DTS_VIEW, D3DTS_PROJECTION};
    for (unsigned k = 0; k < D3D_MAX_STAGES; ++k)
        transforms.push_back(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + k));
    for (unsigned k = 0; k < kWorldMatrices; ++k) transforms.push_back(D3DTS_WORLDMATRIX(k));
    const D3DMATRIX identity = identityMatrix();
    for (D3DTRANSFORMSTATETYPE type : transforms) {
        D3DMATRIX matrix;
        if (FAILED(inner_->GetTransform(type, &matrix))) continue;
        // Blend matrices beyond the first are many and nearly always the identity they start as.
        if (type > D3DTS_WORLD && std::memcmp(&matrix, &identity, sizeof matrix) == 0) continue;
        write<tracecall::SetTransform>(D3D_OK, type, &matrix);
    }

    D3DVIEWPORT9 viewport;
    if (SUCCEEDED(inner_->GetViewport(&viewport))) write<tracecall::SetViewport>(D3D_OK, &viewport);
    RECT scissor;
    if (SUCCEEDED(inner_->GetScissorRect(&scissor))) write<tracecall::SetScissorRect>(D3D_OK, &scissor);
    D3DMATERIAL9 material;
    if (SUCCEEDED(inner_->GetMaterial(&material))) write<tracecall::SetMaterial>(D3D_OK, &material);
    for (DWORD index : lights_) {
        D3DLIGHT9 light;
        BOOL enabled = FALSE;
        if (SUCCEEDED(inner_->GetLight(index, &light))) write<tracecall::SetLight>(D3D_OK, index, &light);
        if (SUCCEEDED(inner_->GetLightEnable(index, &enabled))) write<tracecall::LightEnable>(D3D_OK, index, enabled);
    }
}
