// Picture decoding throughput: the player's decoder (libspng for PNG, libjpeg-turbo for JPEG)
// against stb_image on the same files, generated here: "photo" (smooth gradients with grain,
// which compress like photographs) and "flat" (solid blocks, like drawn art), 256² to 2048²,
// encoded by stb_image_write (PNG; JPEG at quality 90, 4:2:0). Prints, per file, how many
// times faster the player's decoder is (stb CPU time / player CPU time; above 1 is faster).
// bench-libs: platform_d3dx
#include "platform/d3dx/picture_decoder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes photoPixels(unsigned side)
{
    Bytes rgb(std::size_t(side) * side * 3);
    std::uint32_t noise = 12345;
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28) - 8;
            const int base[3] = {int(x * 255 / side), int(y * 255 / side), int((x + y) * 127 / side)};
            for (int c = 0; c < 3; ++c) {
                const int v = base[c] + grain;
                rgb[(std::size_t(y) * side + x) * 3 + c] = std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
    return rgb;
}

Bytes flatPixels(unsigned side)
{
    static constexpr std::uint8_t palette[5][3] = {{250, 20, 20}, {20, 240, 30}, {30, 40, 245}, {240, 240, 20}, {128, 128, 128}};
    Bytes rgb(std::size_t(side) * side * 3);
    for (unsigned y = 0; y < side; ++y)
        for (unsigned x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c) rgb[(std::size_t(y) * side + x) * 3 + c] = palette[(x / 32 + 3 * (y / 32)) % 5][c];
    return rgb;
}

void append(void* context, void* data, int size)
{
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

Bytes encode(bool png, const Bytes& rgb, unsigned side)
{
    Bytes file;
    if (png) stbi_write_png_to_func(append, &file, int(side), int(side), 3, rgb.data(), int(side * 3));
    else stbi_write_jpg_to_func(append, &file, int(side), int(side), 3, rgb.data(), 90);
    return file;
}

void decodeWithPlayer(benchmark::State& state, const Bytes& file, unsigned side)
{
    for (auto _ : state) {
        auto picture = decodePicture(file.data(), file.size());
        if (!picture) state.SkipWithError("the player's decoder refused the file");
        benchmark::DoNotOptimize(picture);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * side * side * 4);
}

void decodeWithStb(benchmark::State& state, const Bytes& file, unsigned side)
{
    for (auto _ : state) {
        int w = 0, h = 0, n = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), int(file.size()), &w, &h, &n, 4);
        if (!pixels) state.SkipWithError("stb_image refused the file");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * side * side * 4);
}

// Median CPU time per iteration over the repetitions, by benchmark name.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                seconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    // Made before any timing and kept for the whole run.
    static std::map<std::string, Bytes> files;
    std::vector<std::string> names;
    for (const bool png : {false, true})
        for (const bool photo : {true, false})
            for (const unsigned side : {256u, 512u, 1024u, 2048u}) {
                const std::string name =
                    std::string(png ? "png/" : "jpeg/") + (photo ? "photo/" : "flat/") + std::to_string(side);
                files[name] = encode(png, photo ? photoPixels(side) : flatPixels(side), side);
                names.push_back(name);
                const Bytes& file = files[name];
                for (const bool player : {true, false}) {
                    auto* b = benchmark::RegisterBenchmark((name + (player ? "/player" : "/stb")).c_str(),
                                                           player ? decodeWithPlayer : decodeWithStb, file, side);
                    b->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)->ReportAggregatesOnly();
                }
            }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nspeed-up over stb_image (stb CPU time / player CPU time):\n");
    for (const std::string& name : names) {
        const double player = reporter.seconds[name + "/player"], stb = reporter.seconds[name + "/stb"];
        if (player > 0 && stb > 0)
            std::printf("  %-18s %7zu bytes  %5.2fx\n", name.c_str(), files[name].size(), stb / player);
    }
    benchmark::Shutdown();
}
