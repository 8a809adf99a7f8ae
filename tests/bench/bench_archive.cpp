// Reading a 64 MiB entry through the archive against the least work that gives the same
// bytes in a fresh buffer: zlib's uncompress of the same stream for a ZLIB entry, memcpy for a
// None entry. Prints both ratios (baseline CPU time / archive CPU time; 1.0 = no overhead).
// bench-libs: archive
#include "archive/cflrh_zlib.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

constexpr std::size_t entrySize = 64u << 20;

// Text-like data: compresses about 4:1, so inflate does real work.
std::vector<std::uint8_t> wordyData()
{
    static const char* const words[] = {"scene ", "glow ", "camera ", "light ", "mesh\n", "0.25 ", "texture ",
                                        "fade ",  "1024 ", "keyframe ", "alpha ", "layer "};
    std::mt19937 generator(42);
    std::vector<std::uint8_t> data;
    data.reserve(entrySize + 16);
    while (data.size() < entrySize) {
        for (const char* c = words[generator() % 12]; *c; ++c)
            data.push_back(static_cast<std::uint8_t>(*c));
    }
    data.resize(entrySize);
    return data;
}

struct Fixture {
    std::string path;
    ResourceArchive archive;
    std::vector<std::uint8_t> plain;
    std::vector<std::uint8_t> zlibStream; // the ZLIB entry's stream without its length prefix

    Fixture()
    {
        plain = wordyData();
        path = (std::filesystem::temp_directory_path() / ("bench_archive-" + std::to_string(::getpid()) + ".cfl")).string();
        const ContainerResult container = writeContainer({{"big.zlib", plain, CFLRH_Zlib::filterId}, {"big.raw", plain, 0}}, 1);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(container.bytes.data()), static_cast<std::streamsize>(container.bytes.size()));
        const std::optional<FilterBytes> packed = CFLResourceFilter::find(CFLRH_Zlib::filterId)->pack(plain);
        zlibStream.assign(packed->begin() + 4, packed->end());
        if (!archive.open(path))
            std::abort();
    }
    ~Fixture() { std::filesystem::remove(path); }
};

Fixture& fixture()
{
    static Fixture instance;
    return instance;
}

void archiveReadZlib(benchmark::State& state)
{
    for (auto _ : state) {
        std::optional<std::vector<std::uint8_t>> data = fixture().archive.read("big.zlib");
        benchmark::DoNotOptimize(data->data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * entrySize));
}

void rawZlibUncompress(benchmark::State& state)
{
    const std::vector<std::uint8_t>& stream = fixture().zlibStream;
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[entrySize]);
        uLongf length = entrySize;
        if (uncompress(out.get(), &length, stream.data(), static_cast<uLong>(stream.size())) != Z_OK)
            state.SkipWithError("uncompress failed");
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * entrySize));
}

void archiveReadNone(benchmark::State& state)
{
    for (auto _ : state) {
        std::optional<std::vector<std::uint8_t>> data = fixture().archive.read("big.raw");
        benchmark::DoNotOptimize(data->data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * entrySize));
}

void rawMemcpy(benchmark::State& state)
{
    const std::vector<std::uint8_t>& plain = fixture().plain;
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[entrySize]);
        std::memcpy(out.get(), plain.data(), entrySize);
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * entrySize));
}

// Keeps each benchmark's median CPU time per iteration over the repetitions for the ratios: on
// a shared machine the CPU time of this one thread is steadier than wall time, and it includes
// the kernel's share (file reads, page faults).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

BENCHMARK(archiveReadZlib)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(rawZlibUncompress)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(archiveReadNone)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(rawMemcpy)->Unit(benchmark::kMillisecond)->MinTime(1.0)->Repetitions(7)->ReportAggregatesOnly();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    fixture(); // the data, the container and the stream are made before any timing
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto ratio = [&](const char* baseline, const char* archive) {
        const double archiveTime = reporter.seconds[archive];
        return archiveTime > 0 ? reporter.seconds[baseline] / archiveTime : 0.0;
    };
    std::printf("ZLIB entry: %.3f of raw zlib uncompress\n", ratio("rawZlibUncompress", "archiveReadZlib"));
    std::printf("None entry: %.3f of memcpy\n", ratio("rawMemcpy", "archiveReadNone"));
    benchmark::Shutdown();
}
