// Captured frames as PNG: every pixel survives the round trip through the player's own
// (CRC-checking) PNG decoder, at sizes that reach each edge of the row filter.
#include "capture/png_frame_encoding.h"
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

FramePixels makeFrame(unsigned width, unsigned height, bool noise)
{
    FramePixels frame{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
    std::uint32_t state = 2463534242u;
    for (std::size_t i = 0; i < frame.bgrx.size(); ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t pixel = i / 4;
        // Gradients make the Paeth predictor pick each of its three neighbours somewhere.
        frame.bgrx[i] = noise ? std::uint8_t(state) : std::uint8_t(pixel % width * 7 + pixel / width * 3 + i % 4 * 50);
    }
    return frame;
}

TEST(PngFrameEncoding, EveryPixelSurvivesTheRoundTrip)
{
    struct Case {
        unsigned width, height;
        bool noise;
    };
    const Case cases[] = {{1, 1, true}, {1, 7, true}, {7, 1, false}, {2, 3, true}, {257, 5, false},
                          {64, 64, true}, {800, 6, false}, {33, 40, false}};
    for (const Case& c : cases) {
        const FramePixels frame = makeFrame(c.width, c.height, c.noise);
        const std::vector<std::uint8_t> png = encodeFramePng(frame);
        const auto picture = decodePicture(png.data(), png.size());
        ASSERT_TRUE(picture) << c.width << "x" << c.height;
        ASSERT_EQ(picture->header.width, c.width);
        ASSERT_EQ(picture->header.height, c.height);
        EXPECT_EQ(picture->header.components, 3u);
        std::size_t wrong = 0;
        for (std::size_t p = 0; p < std::size_t{c.width} * c.height; ++p) {
            const std::uint8_t* rgba = picture->rgba.get() + p * 4;
            const std::uint8_t* bgrx = frame.bgrx.data() + p * 4;
            wrong += rgba[0] != bgrx[2] || rgba[1] != bgrx[1] || rgba[2] != bgrx[0] || rgba[3] != 255;
        }
        EXPECT_EQ(wrong, 0u) << c.width << "x" << c.height << (c.noise ? " noise" : " gradient");
    }
}

TEST(PngFrameEncoding, FramesWhoseBytesDoNotFitTheirSizeGiveNothing)
{
    FramePixels shortFrame = makeFrame(4, 4, true);
    shortFrame.bgrx.resize(4 * 4 * 4 - 1);
    EXPECT_TRUE(encodeFramePng(shortFrame).empty());
    EXPECT_TRUE(encodeFramePng(FramePixels{0, 4, {}}).empty());
    EXPECT_TRUE(encodeFramePng(FramePixels{4, 0, {}}).empty());
}

} // namespace
