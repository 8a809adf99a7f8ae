// One frame of scene animation: animate + refresh of a 1,000-node tree driven by 1,000
// controllers, a quarter of each kind (transform, float, keyframe, vertex on its own
// 1,000-vertex buffer). BM_Normals times the normal rebuilds alone, to give their share.
// bench-libs: scene
#include "scene/camera.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/keyframe_float_controller.h"
#include "scene/mesh.h"
#include "scene/multi_vertex_buffer.h"
#include "scene/prs_controller.h"
#include "scene/sample_float_controller.h"
#include "scene/scene_graph.h"
#include "scene/vertex_controller.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

// A device buffer that only holds bytes, so the frame measures the scene, not a recorder.
class MemoryVertexBuffer final : public IDirect3DVertexBuffer9 {
public:
    explicit MemoryVertexBuffer(std::size_t bytes) : bytes_(bytes) {}
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_FAIL; }
    HRESULT Lock(UINT, UINT, void** data, DWORD) override
    {
        *data = bytes_.data();
        return D3D_OK;
    }
    HRESULT Unlock() override { return D3D_OK; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC*) override { return E_FAIL; }

private:
    std::vector<unsigned char> bytes_;
    ULONG refs_ = 1;
};

constexpr int kNodes = 1000;
constexpr int kPerKind = 250;
constexpr int kGridX = 40, kGridY = 25; // 1,000 vertices

struct BenchScene {
    SceneGraph scene{nullptr};
    std::vector<Group*> nodes;
    std::vector<MultiVertexBuffer*> buffers;

    BenchScene()
    {
        std::mt19937 random(7);
        Mesh& mesh = scene.create<Mesh>(scene.nextId());
        mesh.boundingRadius = 1.0f;
        // A random recursive tree: each node hangs below an earlier one.
        for (int i = 0; i < kNodes; ++i) {
            Group& node = scene.create<Group>(scene.nextId());
            node.mesh = &mesh;
            node.transform.position = D3DXVECTOR3(static_cast<float>(i % 7), 0.5f, static_cast<float>(i % 5));
            if (i > 0) node.setParentId(nodes[random() % nodes.size()]->id());
            nodes.push_back(&node);
        }
        scene.setRoot(nodes[0]);

        std::vector<std::uint16_t> grid;
        for (int y = 0; y + 1 < kGridY; ++y) {
            for (int x = 0; x + 1 < kGridX; ++x) {
                const auto v = static_cast<std::uint16_t>(y * kGridX + x);
                grid.insert(grid.end(), {v, static_cast<std::uint16_t>(v + 1), static_cast<std::uint16_t>(v + kGridX),
                                         static_cast<std::uint16_t>(v + 1), static_cast<std::uint16_t>(v + kGridX + 1),
                                         static_cast<std::uint16_t>(v + kGridX)});
            }
        }
        IndexBuffer& indices = scene.create<IndexBuffer>(scene.nextId());
        indices.setIndices(grid);

        auto pick = [&] { return nodes[random() % nodes.size()]; };
        for (int i = 0; i < kPerKind; ++i) {
            auto prs = std::make_unique<PRSController>(pick());
            for (int s = 0; s < 30; ++s) {
                Transform sample;
                sample.position = D3DXVECTOR3(static_cast<float>(s), 1.0f, 0.0f);
                const D3DXVECTOR3 axis(0, 1, 0);
                D3DXQuaternionRotationAxis(&sample.rotation, &axis, 0.1f * static_cast<float>(s));
                prs->samples.push_back(sample);
            }
            prs->timing = {true, 3000, 0, 3000};
            scene.addController(std::move(prs));

            auto sampled = std::make_unique<SampleFloatController>(pick(), "VISTRACK");
            sampled->samples = {0.0f, 1.0f, 0.25f, 0.75f};
            sampled->timing = {true, 2000, 0, 2000};
            scene.addController(std::move(sampled));

            auto keyframes = std::make_unique<KeyframeFloatController>(pick(), "VISTRACK", true);
            for (int k = 0; k < 8; ++k) keyframes->addKey(250.0f * static_cast<float>(k), static_cast<float>(k % 2));
            scene.addController(std::move(keyframes));

            auto& buffer = scene.create<MultiVertexBuffer>(scene.nextId());
            std::vector<float> records(std::size_t{kGridX} * kGridY * 10, 0.0f);
            std::vector<float> flat, raised;
            for (int v = 0; v < kGridX * kGridY; ++v) {
                const float x = static_cast<float>(v % kGridX), y = static_cast<float>(v / kGridX);
                records[std::size_t(v) * 10] = x;
                records[std::size_t(v) * 10 + 1] = y;
                flat.insert(flat.end(), {x, y, 0.0f});
                raised.insert(raised.end(), {x, y, static_cast<float>((v * 7) % 3)});
            }
            buffer.setVertices(records);
            buffer.addFrame(flat);
            buffer.addFrame(raised);
            buffer.buildAdjacency(indices);
            buffer.deviceBuffer() = DeviceRef<IDirect3DVertexBuffer9>(new MemoryVertexBuffer(buffer.vertexCount() * 40));
            auto vertex = std::make_unique<VertexController>(&buffer);
            vertex->timing = {true, 1000, 0, 1000};
            scene.addController(std::move(vertex));
            buffers.push_back(&buffer);
        }
        scene.prepare();
        scene.setLoaded(true);
    }
};

void BM_AnimateAndRefresh(benchmark::State& state)
{
    BenchScene bench;
    float time = 0.0f;
    for (auto _ : state) {
        bench.scene.animate(time);
        bench.scene.root()->refresh(true);
        time += 16.6667f;
        benchmark::ClobberMemory();
    }
    state.counters["controllers"] = static_cast<double>(bench.scene.controllerCount());
}
BENCHMARK(BM_AnimateAndRefresh)->Unit(benchmark::kMicrosecond);

void BM_Normals(benchmark::State& state)
{
    BenchScene bench;
    for (auto _ : state) {
        for (MultiVertexBuffer* buffer : bench.buffers) {
            buffer->computeFaceNormals();
            buffer->computeVertexNormals();
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Normals)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
