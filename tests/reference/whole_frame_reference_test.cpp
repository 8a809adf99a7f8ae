// Whole frames of the PSK test scene (tests/reference/whole_frame_demo.h), captured with
// `demotool capture --trace` and rendered on a real Direct3D 9 by
// scripts/make-reference-images: the OpenGL device replaying each trace must match the
// Direct3D image within 2 per channel on at least 99.5 % of the pixels. The worst pixel and
// the share are printed for every frame.
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/trace/trace_player.h"
#include "platform/d3d9/trace/trace_render.h"
#include "reference/image_compare.h"
#include "reference/whole_frame_demo.h"
#include "support/gpu_required.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

constexpr int kTolerance = 2;
constexpr double kRequiredShare = 0.995;

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Agreement {
    double share = 0.0; // of pixels within the tolerance in every colour channel
    int worst = 0;
    unsigned worstX = 0, worstY = 0;
};

Agreement agreement(const RgbaImage& actual, const RgbaImage& expected)
{
    Agreement result;
    std::size_t within = 0;
    const std::size_t pixels = std::size_t{expected.width} * expected.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        int most = 0;
        for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(actual.rgba[4 * i + c] - expected.rgba[4 * i + c]));
        within += most <= kTolerance;
        if (most > result.worst) {
            result.worst = most;
            result.worstX = static_cast<unsigned>(i % expected.width);
            result.worstY = static_cast<unsigned>(i / expected.width);
        }
    }
    result.share = pixels ? static_cast<double>(within) / static_cast<double>(pixels) : 0.0;
    return result;
}

class WholeFrameReference : public ::testing::TestWithParam<WholeFrame> {};

TEST_P(WholeFrameReference, GlReplayMatchesDirect3D)
{
    setenv("EGL_PLATFORM", "surfaceless", 0);
    const std::string base = std::string(REFERENCE_FOLDER) + GetParam().name;
    RgbaImage expected;
    ASSERT_TRUE(loadPng(base + ".png", expected)) << base << ".png is missing";
    const std::string trace = readText(base + ".trace");
    TraceHeader header;
    std::string error;
    ASSERT_TRUE(readTraceHeader(trace, header, error)) << error;

    IDirect3D9* direct3d = createHeadlessDirect3D9();
    if (!direct3d) DEMO_SKIP_WITHOUT_GPU("no headless OpenGL device on this machine");
    D3DPRESENT_PARAMETERS parameters = presentParametersForTrace(header, header.width, header.height);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &parameters, &device),
              D3D_OK);
    const TraceRendering rendering = renderTrace(trace, device);
    device->Release();
    direct3d->Release();
    ASSERT_TRUE(rendering.error.empty()) << rendering.error;
    EXPECT_EQ(rendering.replay.failedCalls, 0u) << rendering.replay.firstFailure;
    const RgbaImage actual{rendering.image.width, rendering.image.height, rendering.image.rgba};
    ASSERT_EQ(actual.width, expected.width);
    ASSERT_EQ(actual.height, expected.height);

    const Agreement result = agreement(actual, expected);
    std::printf("%s: %.3f %% of pixels within %d, worst difference %d at (%u, %u)\n", GetParam().name,
                100.0 * result.share, kTolerance, result.worst, result.worstX, result.worstY);
    if (result.share < kRequiredShare) savePng(std::string(GetParam().name) + ".gl.png", actual);
    EXPECT_GE(result.share, kRequiredShare) << "worst " << result.worst << " at " << result.worstX << ","
                                            << result.worstY;
}

INSTANTIATE_TEST_SUITE_P(Frames, WholeFrameReference, ::testing::ValuesIn(kWholeFrames),
                         [](const ::testing::TestParamInfo<WholeFrame>& info) {
                             return std::string(info.param.name).substr(0, 4);
                         });

} // namespace
