// The generator's picture writers, read back by the player's own decoder.
#include "pictures.h"

#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// A picture whose every pixel differs from its neighbours in all four channels.
Picture pattern(int width, int height)
{
    Picture p(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.at(x, y) = static_cast<std::uint32_t>((x * 37 + y * 11) & 0xFF) << 24 | static_cast<std::uint32_t>(x * 7 & 0xFF) << 16 |
                         static_cast<std::uint32_t>(y * 13 & 0xFF) << 8 | static_cast<std::uint32_t>((x + y) * 5 & 0xFF);
    return p;
}

std::uint32_t decodedArgb(const DecodedPicture& d, int x, int y)
{
    const std::uint8_t* px = d.rgba.get() + (static_cast<std::size_t>(y) * d.header.width + x) * 4;
    return static_cast<std::uint32_t>(px[3]) << 24 | static_cast<std::uint32_t>(px[0]) << 16 | static_cast<std::uint32_t>(px[1]) << 8 | px[2];
}

struct LosslessCase {
    const char* name;
    std::vector<std::uint8_t> (*encode)(const Picture&, bool);
    bool alpha;
    int width, height;
};

class LosslessRoundTrip : public ::testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessRoundTrip, EveryPixelComesBackAsWritten)
{
    const LosslessCase& c = GetParam();
    const Picture source = pattern(c.width, c.height);
    const std::vector<std::uint8_t> bytes = c.encode(source, c.alpha);
    const auto decoded = decodePicture(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->header.width, static_cast<unsigned>(c.width));
    ASSERT_EQ(decoded->header.height, static_cast<unsigned>(c.height));
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            // Without alpha the file stores none, and the decoder reads the pixel as opaque.
            const std::uint32_t want = c.alpha ? source.at(x, y) : (source.at(x, y) | 0xFF000000u);
            ASSERT_EQ(decodedArgb(*decoded, x, y), want) << c.name << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessRoundTrip,
                         ::testing::Values(LosslessCase{"png_rgb", encodePng, false, 37, 5},
                                           LosslessCase{"png_rgba", encodePng, true, 3, 64},
                                           LosslessCase{"tga_rgb", encodeTga, false, 300, 2},
                                           LosslessCase{"tga_rgba", encodeTga, true, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegWriter, ASmoothPictureComesBackCloseToTheSource)
{
    Picture source(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) source.at(x, y) = argbOf(x / 63.0f, y / 47.0f, 0.5f);
    const std::vector<std::uint8_t> bytes = encodeJpeg(source, 95);
    const auto decoded = decodePicture(bytes.data(), bytes.size());
    ASSERT_TRUE(decoded.has_value());
    ASSERT_EQ(decoded->header.width, 64u);
    ASSERT_EQ(decoded->header.height, 48u);
    int worst = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint32_t a = source.at(x, y), b = decodedArgb(*decoded, x, y);
            for (int shift : {0, 8, 16}) worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
        }
    EXPECT_LE(worst, 12);
}

TEST(PictureSize, RefusesEmptyAndOversizedPictures)
{
    EXPECT_THROW(Picture(0, 10), std::invalid_argument);
    EXPECT_THROW(Picture(10, -1), std::invalid_argument);
    EXPECT_THROW(Picture(70000, 1), std::invalid_argument);
}

TEST(ArgbOf, ClampsAndRoundsEachChannel)
{
    EXPECT_EQ(argbOf(2.0f, -1.0f, 0.5f, 1.0f), 0xFFFF0080u);
    EXPECT_EQ(argbOf(0.0f, 1.0f, 0.0f, 0.0f), 0x0000FF00u);
}

} // namespace
