// The OpenGL device against the real Direct3D 9: every reference trace replayed headless
// must match its committed image within the case's per-channel tolerance, and a frame
// drawn directly must give the same pixels as its recording replayed, and as its trace made
// by the tracing device on the OpenGL device.
#include "platform/d3d9/direct3d.h"
#include "support/gpu_required.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_render.h"
#include "reference/image_compare.h"
#include "reference/present_hook_device.h"
#include "reference/reference_cases.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string referenceFolder()
{
    return REFERENCE_FOLDER; // tests/reference/ in the source tree
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RgbaImage toRgba(const CapturedImage& image)
{
    return RgbaImage{image.width, image.height, image.rgba};
}

class GlReference : public ::testing::TestWithParam<ReferenceCase> {
protected:
    static void SetUpTestSuite()
    {
        setenv("EGL_PLATFORM", "surfaceless", 0);
        d3d_ = createHeadlessDirect3D9();
    }
    static void TearDownTestSuite() { safeRelease(d3d_); }

    void SetUp() override
    {
        if (!d3d_) DEMO_SKIP_WITHOUT_GPU("no headless OpenGL device on this machine");
    }

    IDirect3DDevice9* createDevice(const ReferenceCase& c)
    {
        TraceHeader header{c.width, c.height, static_cast<std::uint32_t>(c.backBufferFormat), D3DFMT_D24S8};
        D3DPRESENT_PARAMETERS pp = presentParametersForTrace(header, c.width, c.height);
        IDirect3DDevice9* device = nullptr;
        EXPECT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &pp, &device),
                  D3D_OK);
        return device;
    }

    static IDirect3D9* d3d_;
};

IDirect3D9* GlReference::d3d_ = nullptr;

TEST_P(GlReference, MatchesTheDirect3DImage)
{
    const ReferenceCase& c = GetParam();
    RgbaImage expected;
    ASSERT_TRUE(loadPng(referenceFolder() + c.name + ".png", expected)) << c.name << ".png is missing";
    IDirect3DDevice9* device = createDevice(c);
    ASSERT_NE(device, nullptr);
    TraceRendering rendering = renderTrace(readText(referenceFolder() + c.name + ".trace"), device);
    device->Release();
    ASSERT_TRUE(rendering.error.empty()) << rendering.error;
    EXPECT_EQ(rendering.replay.failedCalls, 0u) << rendering.replay.firstFailure;
    const RgbaImage actual = toRgba(rendering.image);
    const ImageDifference difference = compareImages(actual, expected, c.tolerance);
    const bool same = imagesMatch(difference, c.edgePixels);
    if (!same)
        savePng(std::string(c.name) + ".gl.png", actual); // beside the test binary, for a look
    EXPECT_TRUE(same) << c.name << " (tolerance " << c.tolerance << ", " << c.edgePixels
                      << " edge pixels allowed): " << difference.describe();
}

TEST_P(GlReference, RecordedFrameReplaysToTheSamePixelsAsDrawingItDirectly)
{
    const ReferenceCase& c = GetParam();
    IDirect3DDevice9* direct = createDevice(c);
    ASSERT_NE(direct, nullptr);
    CapturedImage drawn;
    std::string error;
    {
        PresentHookDevice hooked(direct, [&](IDirect3DDevice9* inner) { captureBackBuffer(inner, drawn, error); });
        c.draw(&hooked);
    }
    direct->Release();
    ASSERT_FALSE(drawn.rgba.empty()) << error;

    auto* recorder = new RecordingDevice(c.width, c.height, c.backBufferFormat, D3DFMT_D24S8);
    c.draw(recorder);
    std::ostringstream trace;
    recorder->writeTrace(trace);
    recorder->Release();

    IDirect3DDevice9* replay = createDevice(c);
    ASSERT_NE(replay, nullptr);
    TraceRendering rendering = renderTrace(trace.str(), replay);
    replay->Release();
    ASSERT_TRUE(rendering.error.empty()) << rendering.error;
    const ImageDifference difference = compareImages(toRgba(rendering.image), toRgba(drawn), 0);
    EXPECT_TRUE(difference.sameSize && difference.pixelsOverTolerance == 0) << difference.describe();
}

// The tracing device over the OpenGL device: its trace of the frame, replayed on a fresh
// device, gives the pixels the frame gave through it.
TEST_P(GlReference, FrameTracedOnTheOpenGlDeviceReplaysToTheSamePixels)
{
    const ReferenceCase& c = GetParam();
    IDirect3DDevice9* direct = createDevice(c);
    ASSERT_NE(direct, nullptr);
    CapturedImage drawn;
    std::string error;
    std::ostringstream trace;
    {
        PresentHookDevice hooked(direct, [&](IDirect3DDevice9* inner) { captureBackBuffer(inner, drawn, error); });
        hooked.openTrace(trace);
        c.draw(&hooked);
    }
    direct->Release();
    ASSERT_FALSE(drawn.rgba.empty()) << error;

    IDirect3DDevice9* replay = createDevice(c);
    ASSERT_NE(replay, nullptr);
    TraceRendering rendering = renderTrace(trace.str(), replay);
    replay->Release();
    ASSERT_TRUE(rendering.error.empty()) << rendering.error;
    EXPECT_EQ(rendering.replay.failedCalls, 0u) << rendering.replay.firstFailure;
    const ImageDifference difference = compareImages(toRgba(rendering.image), toRgba(drawn), 0);
    EXPECT_TRUE(difference.sameSize && difference.pixelsOverTolerance == 0) << difference.describe();
}

std::string caseName(const ::testing::TestParamInfo<ReferenceCase>& info)
{
    return std::string(info.param.name);
}

INSTANTIATE_TEST_SUITE_P(Cases, GlReference, ::testing::ValuesIn(referenceCases()), caseName);

} // namespace
