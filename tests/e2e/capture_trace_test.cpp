// `demotool capture --trace` on the 2D demo of tests/demos/layers: every chosen frame's trace
// stands on its own and replays through `demotool trace render` to exactly the frame the PNG
// capture wrote, on frames that create, upload, blend and animate.
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const int kFrames[] = {0, 1, 51, 54, 60, 100, 149};

std::vector<char> readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string frameName(int k, const char* extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.%s", k, extension);
    return name;
}

class CaptureTraceTest : public ::testing::Test {
protected:
    static fs::path work;
    static int exitCode;

    static void SetUpTestSuite()
    {
        work = fs::temp_directory_path() / ("capture_trace_" + std::to_string(::getpid()));
        fs::remove_all(work);
        fs::create_directories(work);
        const std::string demo = std::string(DEMO_SOURCE_ROOT) + "/tests/demos/layers";
        // Frame k is composed at 20k ms; --at picks the first frame at or after each time.
        std::string times;
        for (int k : kFrames) times += (times.empty() ? "" : ",") + std::to_string(k * 20);
        const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + demo + " --at " + times + " -o " +
                                    (work / "png").string() + " --trace " + (work / "traces").string() + " 2>" +
                                    (work / "capture.log").string();
        exitCode = std::system(command.c_str());
    }
    static void TearDownTestSuite() { fs::remove_all(work); }
};

fs::path CaptureTraceTest::work;
int CaptureTraceTest::exitCode = -1;

TEST_F(CaptureTraceTest, EveryTracedFrameRendersToThePixelsOfItsPngCapture)
{
    ASSERT_EQ(exitCode, 0) << readBytes(work / "capture.log").data();
    for (int k : kFrames) {
        const fs::path trace = work / "traces" / frameName(k, "trace");
        ASSERT_TRUE(fs::exists(trace)) << trace;
        const fs::path rendered = work / ("rendered_" + frameName(k, "png"));
        const fs::path log = work / ("render_" + std::to_string(k) + ".log");
        const std::string command = std::string(DEMOTOOL_PATH) + " trace render " + trace.string() + " -o " +
                                    rendered.string() + " 2>" + log.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << readBytes(log).data();
        // A warning here would mean a call of the frame did not replay as it ran.
        EXPECT_TRUE(readBytes(log).empty()) << "frame " << k << ": " << std::string(readBytes(log).data());

        const std::vector<char> capturedBytes = readBytes(work / "png" / frameName(k, "png"));
        const std::vector<char> renderedBytes = readBytes(rendered);
        auto captured = decodePicture(capturedBytes.data(), capturedBytes.size());
        auto replayed = decodePicture(renderedBytes.data(), renderedBytes.size());
        ASSERT_TRUE(captured && replayed) << "frame " << k;
        ASSERT_EQ(captured->header.width, replayed->header.width);
        ASSERT_EQ(captured->header.height, replayed->header.height);
        const std::size_t pixels = std::size_t{captured->header.width} * captured->header.height;
        std::size_t differing = 0;
        for (std::size_t p = 0; p < pixels * 4; ++p) differing += captured->rgba.get()[p] != replayed->rgba.get()[p];
        EXPECT_EQ(differing, 0u) << "frame " << k << ": bytes differing between the capture and the replayed trace";
    }
}

TEST_F(CaptureTraceTest, EachTraceIsOneFrameThatStandsOnItsOwn)
{
    ASSERT_EQ(exitCode, 0);
    for (int k : kFrames) {
        const std::vector<char> bytes = readBytes(work / "traces" / frameName(k, "trace"));
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_EQ(text.rfind("Device 800 600 ", 0), 0u) << k;
        std::size_t presents = 0;
        for (std::size_t at = text.find("\nPresent"); at != std::string::npos; at = text.find("\nPresent", at + 1))
            ++presents;
        EXPECT_EQ(presents, 1u) << "frame " << k;
        // Its textures are made and filled before the frame uses them.
        const std::size_t firstDraw = text.find("\nDrawPrimitiveUP");
        ASSERT_NE(firstDraw, std::string::npos) << k;
        EXPECT_LT(text.find("\nCreateTexture"), firstDraw) << k;
        EXPECT_LT(text.find("\nTextureUnlockRect"), firstDraw) << k;
    }
}

} // namespace
