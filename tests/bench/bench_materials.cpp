// What drawing one sub-mesh costs the scene code: Material::apply with three maps, and the
// whole per-range set-up (world, buffers, apply, draw) over 100 sub-meshes. The device takes
// the per-draw calls and does nothing with them, so the figures are the scene's own.
// bench-libs: scene platform_d3d9_recording
#include "platform/d3d9/trace/tracing_device.h"
#include "platform/d3d9/recording/recording_device.h"
#include "render/state_cache.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/scene_graph.h"
#include "scene/sub_mesh.h"
#include "scene/texture.h"
#include "scene/vertex_buffer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// Resources come from the recording device; state and draw calls stop here.
class SinkDevice final : public TracingDevice {
public:
    using TracingDevice::TracingDevice;
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetSamplerState(DWORD, D3DSAMPLERSTATETYPE, DWORD) override { return D3D_OK; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return D3D_OK; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture9*) override { return D3D_OK; }
    HRESULT SetMaterial(const D3DMATERIAL9*) override { return D3D_OK; }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer9*, UINT, UINT) override { return D3D_OK; }
    HRESULT SetIndices(IDirect3DIndexBuffer9*) override { return D3D_OK; }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE, int, UINT, UINT, UINT, UINT) override { return D3D_OK; }
};

struct Bench {
    RecordingDevice* recorder = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    SinkDevice device{recorder};
    SceneGraph scene{&device};
    std::vector<SubMesh*> ranges;
    Group* node = nullptr;
    Mesh* mesh = nullptr;

    Bench()
    {
        recorder->setKeepCalls(false);
        node = &scene.create<Group>(scene.nextId());
        VertexBuffer& vertices = scene.create<VertexBuffer>(scene.nextId());
        vertices.setVertices(std::vector<float>(300 * VertexBuffer::kFloatsPerVertex, 0.5f));
        IndexBuffer& indices = scene.create<IndexBuffer>(scene.nextId());
        indices.setIndices(std::vector<std::uint16_t>(300, 0));
        mesh = &scene.create<Mesh>(scene.nextId());
        mesh->setVertexBufferId(vertices.id());
        mesh->setIndexBufferId(indices.id());
        mesh->node = node;
        node->mesh = mesh;
        for (int i = 0; i < 100; ++i) {
            Material& m = material(i % 3 == 0 ? 0.5f : 1.0f);
            SubMesh& range = scene.create<SubMesh>(scene.nextId());
            range.mesh = mesh;
            range.startIndex = 3 * i;
            range.indexCount = 3;
            range.setMaterialId(m.id());
            ranges.push_back(&range);
        }
        scene.prepare();
    }
    ~Bench()
    {
        recorder->Release();
    }
    Texture& texture(const char* name)
    {
        DeviceRef<IDirect3DTexture9>& slot = scene.stateCache().textureSlot(name);
        if (!slot) recorder->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, slot.out(), nullptr);
        Texture& t = scene.create<Texture>(scene.nextId());
        t.load(name);
        return t;
    }
    Material& material(float opacity)
    {
        Material& m = scene.create<Material>(scene.nextId());
        m.opacity = opacity;
        m.blendMode = Material::kAlphaBlend;
        m.setMap(TextureRole::Diffuse, texture("diffuse.png").id());
        m.setMap(TextureRole::Specular, texture("specular.png").id());
        m.setMap(TextureRole::SphereReflection, texture("sphere.png").id());
        return m;
    }
};

void BM_MaterialApply(benchmark::State& state)
{
    Bench bench;
    Material& m = *bench.ranges[0]->material();
    for (auto _ : state) {
        m.apply(0.8f);
        benchmark::DoNotOptimize(m.deviceMaterial());
    }
}
BENCHMARK(BM_MaterialApply);

void BM_SubMeshSetUpAndDraw(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        for (SubMesh* range : bench.ranges) {
            bench.mesh->setWorld(*bench.node);
            bench.mesh->bindBuffers();
            range->material()->apply(bench.node->visibility);
            range->draw();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(bench.ranges.size()));
}
BENCHMARK(BM_SubMeshSetUpAndDraw);

} // namespace

BENCHMARK_MAIN();
