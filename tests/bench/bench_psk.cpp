// Reading PSK scene data: a 100 000-vertex buffer with normals and two texture-coordinate sets,
// a 300 000-index buffer, and a 10 000-sample transform track, each read from bytes in memory
// with every bounds check in place. Reported as bytes per second of payload.
// bench-libs: psk
#include "psk/psk_chunk_reader.h"
#include "psk/psk_writer.h"

#include <benchmark/benchmark.h>

namespace {

std::vector<std::uint8_t> vertexFile()
{
    PskVertexBuffer buffer{1, kPskHasNormals | kPskHasTexCoords0 | kPskHasTexCoords1, 0, {}, {}};
    buffer.vertices.resize(100000);
    for (std::size_t i = 0; i < buffer.vertices.size(); ++i)
        buffer.vertices[i].position = {static_cast<float>(i), 1.0f, 2.0f};
    PskWriter writer;
    writer.chunk(1, 0, buffer);
    return writer.bytes();
}

std::vector<std::uint8_t> indexFile()
{
    PskIndexBuffer buffer;
    buffer.indices.resize(300000);
    for (std::size_t i = 0; i < buffer.indices.size(); ++i)
        buffer.indices[i] = static_cast<std::uint16_t>(i);
    PskWriter writer;
    writer.chunk(1, 0, buffer);
    return writer.bytes();
}

std::vector<std::uint8_t> trackFile()
{
    PskTransformTrack track{0, {0, 10000, 0, 10000}, kPskTrackPosition | kPskTrackRotation | kPskTrackScale, {}};
    track.samples.resize(10000, PskTransformSample{{1, 2, 3}, {0, 0, 0, 1}, {1, 1, 1}});
    PskWriter writer;
    writer.chunk(1, 0, track);
    return writer.bytes();
}

void readFile(benchmark::State& state, const std::vector<std::uint8_t>& bytes)
{
    for (auto _ : state) {
        PskFile file = readPskFile(bytes);
        if (file.damage || file.chunks.size() != 1)
            state.SkipWithError("the benchmark file did not read back");
        benchmark::DoNotOptimize(file);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}

void BM_ReadVertexBuffer(benchmark::State& state)
{
    static const std::vector<std::uint8_t> bytes = vertexFile();
    readFile(state, bytes);
}

void BM_ReadIndexBuffer(benchmark::State& state)
{
    static const std::vector<std::uint8_t> bytes = indexFile();
    readFile(state, bytes);
}

void BM_ReadTransformTrack(benchmark::State& state)
{
    static const std::vector<std::uint8_t> bytes = trackFile();
    readFile(state, bytes);
}

} // namespace

BENCHMARK(BM_ReadVertexBuffer);
BENCHMARK(BM_ReadIndexBuffer);
BENCHMARK(BM_ReadTransformTrack);
BENCHMARK_MAIN();
