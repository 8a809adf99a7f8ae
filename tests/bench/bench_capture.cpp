// Capture speed of the 2-D demo fixture at 800 x 600 and 50 fps, to an H.264 MP4 with sound
// and to PNG frames, as multiples of real time (the demo's length over the wall time taken):
// the "x_realtime" counter. Runs the demotool binary built beside this benchmark.
// bench-libs: archive
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// tests/demos/layers ends at the first frame after 3000 ms: 151 frames of 20 ms.
constexpr double kDemoSeconds = 3.02;

fs::path demotool()
{
    return fs::read_symlink("/proc/self/exe").parent_path() / "demotool";
}

void captureTo(benchmark::State& state, const std::string& output)
{
    const fs::path scratch = fs::temp_directory_path() / ("bench_capture_" + std::to_string(::getpid()));
    const std::string command = demotool().string() + " capture -C " + DEMO_SOURCE_ROOT "/tests/demos/layers -o " +
                                (scratch / output).string() + " 2>/dev/null";
    double seconds = 0;
    for (auto _ : state) {
        fs::remove_all(scratch);
        fs::create_directories(scratch);
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("demotool capture failed");
            break;
        }
        const double taken = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(taken);
        seconds += taken;
    }
    fs::remove_all(scratch);
    if (seconds > 0)
        state.counters["x_realtime"] = kDemoSeconds * static_cast<double>(state.iterations()) / seconds;
}

void BM_CaptureMp4(benchmark::State& state)
{
    captureTo(state, "demo.mp4");
}
void BM_CapturePng(benchmark::State& state)
{
    captureTo(state, "frames");
}

} // namespace

BENCHMARK(BM_CaptureMp4)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_CapturePng)->Iterations(3)->UseManualTime()->Unit(benchmark::kSecond);

BENCHMARK_MAIN();
