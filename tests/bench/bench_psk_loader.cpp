// Building scenes from PSK files on the recording device: a scene of N nodes, each with a mesh
// on its own buffers and a transform track, for N = 100, 1000 and 4000. Each chunk that
// attaches to a node looks it up by id through the scene, so this shows how loading grows
// with the object count. Reported as chunks per second.
// bench-libs: psk platform_d3d9
#include "platform/d3d9/recording/recording_device.h"
#include "psk/psk_scene_loader.h"
#include "psk/psk_writer.h"
#include "scene/scene_graph.h"

#include <benchmark/benchmark.h>

namespace {

std::vector<std::uint8_t> sceneFile(std::uint32_t nodes)
{
    PskWriter writer;
    PskVertexBuffer vertices{1, kPskHasNormals, 0, {}, {}};
    vertices.vertices.resize(24);
    for (std::uint32_t i = 0; i < nodes; ++i) {
        const std::uint32_t base = i * 4;
        PskNodeRecord node;
        node.name = "Node" + std::to_string(i);
        node.parent = i == 0 ? -1 : 0;
        node.properties = "glow=1";
        writer.chunk(2, base, PskGroup{node});
        writer.chunk(1, base + 1, vertices);
        writer.chunk(1, base + 2, PskIndexBuffer{std::vector<std::uint16_t>(36, 0)});
        writer.chunk(1, base + 3, PskMesh{base, "Mesh", base + 1, base + 2, {PskSubMesh{0, 0, 0, 36, 0}}});
        writer.chunk(1, 0, PskTransformTrack{base, {0, 1000, 0, 1000}, kPskTrackRotation, {{}, {}}});
    }
    return writer.bytes();
}

void loadScene(benchmark::State& state)
{
    const auto nodes = static_cast<std::uint32_t>(state.range(0));
    const std::vector<std::uint8_t> bytes = sceneFile(nodes);
    RecordingDevice* device = new RecordingDevice(16, 16, D3DFMT_X8R8G8B8);
    for (auto _ : state) {
        SceneGraph scene(device);
        PSKSceneLoader& loader = scene.create<PSKSceneLoader>(scene.nextId());
        loader.setFileReader([&bytes](const std::string&) { return bytes; });
        loader.load("bench.psk");
        benchmark::DoNotOptimize(scene.objectCount());
    }
    device->Release();
    state.SetItemsProcessed(state.iterations() * nodes * 5);
}

BENCHMARK(loadScene)->Arg(100)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
