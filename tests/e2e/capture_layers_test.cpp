// Runs the 2D demo of tests/demos/layers through `demotool capture` at 50 fps and checks chosen
// pixels against the values the layer, blending and colour-byte rules give. Frame k is composed
// at script time 20k ms; a layer is drawn with the motion values computed at its previous draw.
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

struct Rgb {
    int r, g, b;
};

class CaptureLayersTest : public ::testing::Test {
protected:
    static fs::path output;
    static int exitCode;

    static void SetUpTestSuite()
    {
        output = fs::temp_directory_path() / ("capture_layers_" + std::to_string(::getpid()));
        fs::remove_all(output);
        const std::string demo = std::string(DEMO_SOURCE_ROOT) + "/tests/demos/layers";
        const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + demo +
                                    " --at 0,1020,1080,1200,2000,2980,2999 -o " + output.string() + " 2>" +
                                    (output.string() + ".log");
        exitCode = std::system(command.c_str());
    }
    static void TearDownTestSuite()
    {
        fs::remove_all(output);
        fs::remove(output.string() + ".log");
    }

    static DecodedPicture frame(int k)
    {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", k);
        std::ifstream in(output / name, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto picture = decodePicture(bytes.data(), bytes.size());
        if (!picture) throw std::runtime_error(std::string("frame missing or undecodable: ") + name);
        return std::move(*picture);
    }

    static void expectPixel(const DecodedPicture& picture, unsigned x, unsigned y, Rgb want, int tolerance,
                            const char* what)
    {
        ASSERT_EQ(picture.header.width, 800u);
        ASSERT_EQ(picture.header.height, 600u);
        const std::uint8_t* p = picture.rgba.get() + (static_cast<std::size_t>(y) * 800 + x) * 4;
        EXPECT_NEAR(p[0], want.r, tolerance) << what << " red at (" << x << ", " << y << ")";
        EXPECT_NEAR(p[1], want.g, tolerance) << what << " green at (" << x << ", " << y << ")";
        EXPECT_NEAR(p[2], want.b, tolerance) << what << " blue at (" << x << ", " << y << ")";
    }
};

fs::path CaptureLayersTest::output;
int CaptureLayersTest::exitCode = -1;

// The JPEG's flat colour survives compression within a few steps.
constexpr int kJpeg = 6;

} // namespace

TEST_F(CaptureLayersTest, RunsToItsEndAndExitsWith0)
{
    EXPECT_EQ(exitCode, 0);
    // The script ends at the first frame after 3000 ms (frame 151, t = 3020), which is not
    // drawn, so the last frame written for --at 2999 is frame 150.
    EXPECT_TRUE(fs::exists(output / "frame_000150.png"));
    EXPECT_FALSE(fs::exists(output / "frame_000151.png"));
}

TEST_F(CaptureLayersTest, FirstFramePlacesPicturesOneToOne)
{
    const DecodedPicture f = frame(0);
    expectPixel(f, 5, 5, {0, 0, 128}, 0, "navy colour layer -1");
    expectPixel(f, 99, 99, {0, 0, 128}, 0, "left of and above the backdrop");
    // Backdrop at (100, 100), 64 x 64, quadrants red / green / blue / white, opaque and 1:1.
    expectPixel(f, 100, 100, {200, 0, 0}, 0, "backdrop texel (0, 0)");
    expectPixel(f, 131, 131, {200, 0, 0}, 0, "backdrop texel (31, 31)");
    expectPixel(f, 132, 100, {0, 200, 0}, 0, "backdrop texel (32, 0)");
    expectPixel(f, 100, 132, {0, 0, 200}, 0, "backdrop texel (0, 32)");
    expectPixel(f, 163, 163, {255, 255, 255}, 0, "backdrop texel (63, 63)");
    expectPixel(f, 164, 164, {0, 0, 128}, 0, "right of and below the backdrop");
    // The JPEG photo at (400, 300).
    expectPixel(f, 400, 300, {240, 200, 40}, kJpeg, "photo top-left");
    expectPixel(f, 399, 300, {0, 0, 128}, 0, "left of the photo");
}

TEST_F(CaptureLayersTest, IncludedActStartsAt1000WithAdditiveBackdropAndSequence)
{
    // t = 1020: the include's "waituntil 0" (1000 with its offset) has just passed.
    const DecodedPicture f = frame(51);
    // Additive backdrop over navy: (200, 0, 0) + (0, 0, 128).
    expectPixel(f, 100, 100, {200, 0, 128}, 1, "additive backdrop");
    expectPixel(f, 163, 163, {255, 255, 255}, 0, "additive white saturates");
    // Sequence fps=25 with three frames: loop 80 x 4 / 3 = 106.67 ms; 1020 reduces to 60 ms,
    // so the first draw steps from frame 0 to frame 1 (green).
    expectPixel(f, 700, 50, {0, 255, 0}, 0, "sequence frame 1");
    // The orange layer is at alpha 0: nothing of it shows.
    expectPixel(f, 5, 5, {0, 0, 128}, 0, "orange at alpha 0");
}

TEST_F(CaptureLayersTest, SequenceStepsOnePictureAtATime)
{
    // t = 1080 reduces to 13.3 ms: the sequence wraps to frame 0 (red). Orange is drawn with the
    // alpha of t = 1060: 0.5 x 0.04 = 0.02, byte int(0.02 x 255 + 0.5) = 5; red under it keeps
    // 255, green gains 128 x 5 / 255 = 2.5.
    const DecodedPicture f = frame(54);
    expectPixel(f, 700, 50, {255, 3, 0}, 1, "sequence back at frame 0 under faint orange");
}

TEST_F(CaptureLayersTest, PhotoMovesLeftAndOrangeFadesIn)
{
    // t = 1200: the photo is drawn where t = 1180 put it: 400 - 100 x 0.16 = 384. Orange alpha
    // 0.08 -> byte 20: result = orange x 20/255 + below x 235/255.
    const DecodedPicture f = frame(60);
    expectPixel(f, 383, 300, {20, 10, 118}, 1, "navy under orange, left of the moved photo");
    expectPixel(f, 384, 300, {241, 194, 37}, kJpeg, "moved photo under orange");
    expectPixel(f, 100, 100, {204, 10, 118}, 1, "additive backdrop under orange");

    // t = 2000: alpha of t = 1980 is 0.48 -> byte 122; photo at 400 - 96 = 304.
    const DecodedPicture g = frame(100);
    expectPixel(g, 5, 5, {122, 61, 67}, 1, "navy under orange at 122");
    expectPixel(g, 303, 300, {122, 61, 67}, 1, "left of the photo");
    EXPECT_GT(g.rgba[(300 * 800 + 304) * 4 + 0], 200) << "photo at x = 304";
}

TEST_F(CaptureLayersTest, FadeOutStartsFromTheOpacityReached)
{
    // At t = 2020 the fade turns to -0.5/s from the stored 0.49 (set by the draw at 2000);
    // the draw at 2960 leaves 0.49 - 0.47 = 0.02, so frame 149 (t = 2980) shows byte 5:
    // navy x 250/255 + orange x 5/255 = (5, 2.5, 125.5).
    const DecodedPicture f = frame(149);
    expectPixel(f, 5, 5, {5, 3, 125}, 1, "navy under fading orange");
}
