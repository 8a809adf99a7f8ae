// Reads back every piece of state (see device_snapshot.h).
#include "device_snapshot.h"

#include <cstring>
#include <iterator>

namespace {

class Reader {
public:
    explicit Reader(DeviceSnapshot& out) : out_(out) {}
    void result(HRESULT hr) { out_.results.push_back(hr); }
    template <typename T>
    void bytes(const T& value)
    {
        DWORD words[(sizeof(T) + 3) / 4] = {};
        std::memcpy(words, &value, sizeof(T));
        out_.values.insert(out_.values.end(), std::begin(words), std::end(words));
    }

private:
    DeviceSnapshot& out_;
};

void readSurface(Reader& read, HRESULT hr, IDirect3DSurface9* surface)
{
    read.result(hr);
    D3DSURFACE_DESC desc{};
    if (surface) {
        surface->GetDesc(&desc);
        surface->Release();
    }
    read.bytes(desc);
}

} // namespace

DeviceSnapshot snapshotOf(IDirect3DDevice9* device)
{
    DeviceSnapshot snapshot;
    Reader read(snapshot);
    for (DWORD state = 0; state < 260; ++state) {
        DWORD value = 0;
        read.result(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(state), &value));
        read.bytes(value);
    }
    for (DWORD stage = 0; stage < 9; ++stage)
        for (DWORD type = 0; type < D3DTSS_STATE_COUNT; ++type) {
            DWORD value = 0;
            read.result(device->GetTextureStageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(type), &value));
            read.bytes(value);
        }
    for (DWORD sampler = 0; sampler < 17; ++sampler)
        for (DWORD type = 0; type < D3DSAMP_STATE_COUNT; ++type) {
            DWORD value = 0;
            read.result(device->GetSamplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(type), &value));
            read.bytes(value);
        }
    const DWORD transforms[] = {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_TEXTURE0, D3DTS_TEXTURE7, D3DTS_TEXTURE7 + 1,
                                D3DTS_WORLD, D3DTS_WORLDMATRIX(1), D3DTS_WORLDMATRIX(255), D3DTS_WORLDMATRIX(256), 0};
    for (DWORD type : transforms) {
        D3DMATRIX matrix{};
        read.result(device->GetTransform(static_cast<D3DTRANSFORMSTATETYPE>(type), &matrix));
        read.bytes(matrix);
    }
    D3DVIEWPORT9 viewport{};
    read.result(device->GetViewport(&viewport));
    read.bytes(viewport);
    RECT scissor{};
    read.result(device->GetScissorRect(&scissor));
    read.bytes(scissor);
    D3DMATERIAL9 material{};
    read.result(device->GetMaterial(&material));
    read.bytes(material);
    for (DWORD index : {0u, 1u, 2u, 7u, 8u, 1023u, 1024u, 70000u, 0xFFFFFFFFu}) {
        D3DLIGHT9 light{};
        read.result(device->GetLight(index, &light));
        read.bytes(light);
        BOOL enabled = FALSE;
        read.result(device->GetLightEnable(index, &enabled));
        read.bytes(enabled);
    }
    DWORD fvf = 0;
    read.result(device->GetFVF(&fvf));
    read.bytes(fvf);
    for (DWORD stage = 0; stage < 17; ++stage) {
        IDirect3DBaseTexture9* texture = nullptr;
        read.result(device->GetTexture(stage, &texture));
        read.bytes(DWORD{texture != nullptr});
        safeRelease(texture);
    }
    IDirect3DSurface9* surface = nullptr;
    readSurface(read, device->GetRenderTarget(0, &surface), surface);
    surface = nullptr;
    readSurface(read, device->GetRenderTarget(1, &surface), surface);
    surface = nullptr;
    readSurface(read, device->GetDepthStencilSurface(&surface), surface);
    surface = nullptr;
    readSurface(read, device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &surface), surface);
    return snapshot;
}

std::string firstDifference(const DeviceSnapshot& a, const DeviceSnapshot& b)
{
    if (a.results.size() != b.results.size() || a.values.size() != b.values.size()) return "snapshot sizes differ";
    for (std::size_t k = 0; k < a.results.size(); ++k)
        if (a.results[k] != b.results[k])
            return "read " + std::to_string(k) + " returned " + std::to_string(a.results[k]) + " vs " +
                   std::to_string(b.results[k]);
    for (std::size_t k = 0; k < a.values.size(); ++k)
        if (a.values[k] != b.values[k])
            return "value word " + std::to_string(k) + ": " + std::to_string(a.values[k]) + " vs " +
                   std::to_string(b.values[k]);
    return {};
}
