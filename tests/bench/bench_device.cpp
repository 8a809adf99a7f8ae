// Speed of the OpenGL device, headless at 800 × 600: a frame of 1,000 lit, textured draws
// cycling through 50 materials so that state changes between every two draws. The run with
// the draws themselves skipped (everything up to the OpenGL draw call still happens) measures
// the device's own CPU work per draw; the full run, finished every frame, gives frames per
// second including the driver and the rasteriser. The same device work through a tracing
// device with no trace open gives what the pass-through itself costs per draw.
// bench-libs: platform_d3d9_gl platform_d3d9_trace platform_d3d9
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/trace/tracing_device.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int kDrawsPerFrame = 1000;
constexpr int kMaterials = 50;
constexpr int kTextures = 10;

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

struct Material {
    D3DMATERIAL9 material{};
    int texture = 0;
    D3DTEXTUREOP colorOp = D3DTOP_MODULATE;
    bool blend = false;
    D3DCOLOR factor = 0xFFFFFFFF;
};

class DeviceScene {
public:
    bool create(bool traced = false)
    {
        direct3d_ = createHeadlessDirect3D9();
        if (!direct3d_) return false;
        D3DPRESENT_PARAMETERS p{};
        p.BackBufferWidth = 800;
        p.BackBufferHeight = 600;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.BackBufferCount = 1;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D24X8;
        if (FAILED(direct3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_)))
            return false;
        glDevice_ = static_cast<d3dgl::GlDevice*>(device_);
        if (traced) {
            IDirect3DDevice9* tracing = new TracingDevice(device_);
            device_->Release();
            device_ = tracing;
        }
        buildMesh();
        buildMaterials();
        setUpLights();
        return true;
    }

    ~DeviceScene()
    {
        for (IDirect3DTexture9* texture : textures_) safeRelease(texture);
        safeRelease(vertices_);
        safeRelease(indices_);
        safeRelease(device_);
        safeRelease(direct3d_);
    }

    void setMaterialCount(int count) { materialCount_ = count; }
    void setSubmitDraws(bool submit) { glDevice_->setSubmitDraws(submit); }

    void frame(int frameNumber)
    {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF101020, 1.0f, 0);
        device_->BeginScene();
        device_->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        device_->SetStreamSource(0, vertices_, 0, sizeof(Vertex));
        device_->SetIndices(indices_);
        for (int i = 0; i < kDrawsPerFrame; ++i) {
            const Material& m = materials_[(i * 7 + frameNumber) % materialCount_];
            device_->SetMaterial(&m.material);
            device_->SetTexture(0, textures_[m.texture]);
            device_->SetTextureStageState(0, D3DTSS_COLOROP, m.colorOp);
            device_->SetRenderState(D3DRS_ALPHABLENDENABLE, m.blend);
            device_->SetRenderState(D3DRS_TEXTUREFACTOR, m.factor);
            D3DMATRIX world{};
            const float angle = 0.01f * static_cast<float>(i + frameNumber);
            world._11 = std::cos(angle) * 0.05f;
            world._13 = -std::sin(angle) * 0.05f;
            world._22 = 0.05f;
            world._31 = std::sin(angle) * 0.05f;
            world._33 = std::cos(angle) * 0.05f;
            world._41 = -0.9f + 0.06f * static_cast<float>(i % 32);
            world._42 = -0.9f + 0.06f * static_cast<float>(i / 32);
            world._43 = 0.5f;
            world._44 = 1.0f;
            device_->SetTransform(D3DTS_WORLD, &world);
            device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount_, 0, triangleCount_);
        }
        device_->EndScene();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    void buildMesh()
    {
        // A sphere of 12 × 8 segments: 117 vertices, 192 triangles.
        std::vector<Vertex> vertices;
        std::vector<WORD> indices;
        const int slices = 12, stacks = 8;
        for (int j = 0; j <= stacks; ++j)
            for (int i = 0; i <= slices; ++i) {
                const float theta = 3.14159265f * j / stacks, phi = 6.2831853f * i / slices;
                const float x = std::sin(theta) * std::cos(phi), y = std::cos(theta), z = std::sin(theta) * std::sin(phi);
                vertices.push_back({x, y, z, x, y, z, static_cast<float>(i) / slices, static_cast<float>(j) / stacks});
            }
        for (int j = 0; j < stacks; ++j)
            for (int i = 0; i < slices; ++i) {
                const WORD a = static_cast<WORD>(j * (slices + 1) + i), b = static_cast<WORD>(a + slices + 1);
                for (WORD index : {a, b, WORD(a + 1), WORD(a + 1), b, WORD(b + 1)}) indices.push_back(index);
            }
        vertexCount_ = static_cast<UINT>(vertices.size());
        triangleCount_ = static_cast<UINT>(indices.size() / 3);
        void* data = nullptr;
        device_->CreateVertexBuffer(static_cast<UINT>(vertices.size() * sizeof(Vertex)), D3DUSAGE_WRITEONLY,
                                    D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, D3DPOOL_MANAGED, &vertices_, nullptr);
        vertices_->Lock(0, 0, &data, 0);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex));
        vertices_->Unlock();
        device_->CreateIndexBuffer(static_cast<UINT>(indices.size() * 2), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                   D3DPOOL_MANAGED, &indices_, nullptr);
        indices_->Lock(0, 0, &data, 0);
        std::memcpy(data, indices.data(), indices.size() * 2);
        indices_->Unlock();
    }

    void buildMaterials()
    {
        for (int t = 0; t < kTextures; ++t) {
            IDirect3DTexture9* texture = nullptr;
            device_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
            for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
                D3DLOCKED_RECT locked{};
                D3DSURFACE_DESC desc{};
                texture->GetLevelDesc(level, &desc);
                texture->LockRect(level, &locked, nullptr, 0);
                for (UINT y = 0; y < desc.Height; ++y)
                    for (UINT x = 0; x < desc.Width; ++x) {
                        const std::uint32_t texel = 0xFF000000u | ((x * 4 + t * 20) & 0xFF) << 16 | ((y * 4) & 0xFF) << 8;
                        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, &texel, 4);
                    }
                texture->UnlockRect(level);
            }
            textures_.push_back(texture);
        }
        for (int m = 0; m < kMaterials; ++m) {
            Material& material = materials_[m];
            const float shade = 0.3f + 0.014f * static_cast<float>(m);
            material.material.Diffuse = {shade, 1.0f - shade, 0.5f, 1.0f};
            material.material.Ambient = {0.2f, 0.2f, 0.2f, 1.0f};
            material.material.Specular = {0.5f, 0.5f, 0.5f, 1.0f};
            material.material.Power = 10.0f + static_cast<float>(m);
            material.texture = m % kTextures;
            material.colorOp = m % 3 == 0 ? D3DTOP_ADD : D3DTOP_MODULATE;
            material.blend = m % 5 == 0;
            material.factor = 0xFF000000u | static_cast<D3DCOLOR>(m * 5);
        }
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
        device_->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    }

    void setUpLights()
    {
        D3DLIGHT9 light{};
        light.Type = D3DLIGHT_DIRECTIONAL;
        light.Diffuse = {1, 1, 1, 1};
        light.Specular = {1, 1, 1, 1};
        light.Direction = {0.3f, -0.5f, 1.0f};
        device_->SetLight(0, &light);
        device_->LightEnable(0, TRUE);
        light.Type = D3DLIGHT_POINT;
        light.Position = {0, 0, -1};
        light.Range = 10;
        light.Attenuation0 = 1;
        device_->SetLight(1, &light);
        device_->LightEnable(1, TRUE);
        device_->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
        device_->SetRenderState(D3DRS_AMBIENT, 0xFF202020);
    }

    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    d3dgl::GlDevice* glDevice_ = nullptr;
    IDirect3DVertexBuffer9* vertices_ = nullptr;
    IDirect3DIndexBuffer9* indices_ = nullptr;
    UINT vertexCount_ = 0, triangleCount_ = 0;
    std::vector<IDirect3DTexture9*> textures_;
    Material materials_[kMaterials];
    int materialCount_ = kMaterials;
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void runFrames(benchmark::State& state, bool submit, int materials = kMaterials, bool traced = false)
{
    DeviceScene scene;
    if (!scene.create(traced)) {
        state.SkipWithError("no headless OpenGL device (EGL has no display)");
        return;
    }
    scene.setSubmitDraws(submit);
    scene.setMaterialCount(materials);
    scene.frame(0);  // builds the programs before timing
    glFinish();
    int frameNumber = 1;
    const double cpuStart = threadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        scene.frame(frameNumber++);
        glFinish();
    }
    const double cpu = threadCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double frames = static_cast<double>(state.iterations());
    // CPU time of the calling thread per draw; the rasteriser's own threads are not in it.
    state.counters["cpu_us_per_draw"] = cpu * 1e6 / (frames * kDrawsPerFrame);
    state.counters["fps"] = frames / wall;
}

// The device's own work: state tracking, program keys, uniform blocks, bindings; no draw calls.
void BM_DeviceWorkWithoutDraws(benchmark::State& state) { runFrames(state, false); }
// The same through a tracing device that has no trace open.
void BM_DeviceWorkThroughTracingDevice(benchmark::State& state) { runFrames(state, false, kMaterials, true); }
// Everything: the same frames drawn and finished by the driver every frame.
void BM_FullFrames(benchmark::State& state) { runFrames(state, true); }
// For comparison: the same draws with a single material, so no state changes between draws.
void BM_FullFramesOneMaterial(benchmark::State& state) { runFrames(state, true, 1); }

BENCHMARK(BM_DeviceWorkWithoutDraws)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviceWorkThroughTracingDevice)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FullFrames)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_FullFramesOneMaterial)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
