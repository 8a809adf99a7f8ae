// The decoded result of the less common PNG and JPEG layouts: bit depths, palettes and
// transparency chunks, progressive, grey and CMYK JPEGs. Formats and pixels are the ones the
// earlier stb_image decoder gave (16-bit samples keep their high byte, palettes with a
// transparency chunk gain alpha, Adobe CMYK is multiplied out to RGB).

#include "picture_fixtures.h"
#include "raw_picture_files.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Bytes = std::vector<std::uint8_t>;

D3DFORMAT formatOf(const Bytes& file)
{
    D3DXIMAGE_INFO info{};
    return D3DXGetImageInfoFromFileInMemory(file.data(), UINT(file.size()), &info) == D3D_OK ? info.Format
                                                                                           : D3DFMT_UNKNOWN;
}

Bytes decodedRgba(const Bytes& file)
{
    const auto picture = decodePicture(file.data(), file.size());
    if (!picture) return {};
    return Bytes(picture->rgba.get(), picture->rgba.get() + std::size_t(picture->header.width) * picture->header.height * 4);
}

int largestDifference(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size()) return 256;
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

TEST(PictureFormatsTest, PngDepthsPalettesAndTransparency)
{
    const PngChunk palette{"PLTE", {10, 20, 30, 200, 100, 50}};
    const struct {
        const char* name;
        Bytes file;
        D3DFORMAT format;
        Bytes rgba;
    } cases[] = {
        {"16-bit RGB keeps the high bytes",
         rawPng(2, 1, 16, 2, {{0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x80, 0x00, 0xFF, 0x01, 0x00, 0x80, 0x00}}),
         D3DFMT_X8R8G8B8, {0x12, 0xAB, 0xFF, 255, 0x00, 0x01, 0x80, 255}},
        {"1-bit grey scales to 0 and 255", rawPng(4, 1, 1, 0, {{0b10110000}}), D3DFMT_L8,
         {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255}},
        {"4-bit palette with transparency", rawPng(2, 1, 4, 3, {{0x10}}, {palette, {"tRNS", {128}}}),
         D3DFMT_A8R8G8B8, {200, 100, 50, 255, 10, 20, 30, 128}},
        {"palette without transparency", rawPng(2, 1, 8, 3, {{0, 1}}, {palette}), D3DFMT_X8R8G8B8,
         {10, 20, 30, 255, 200, 100, 50, 255}},
        {"RGB with a key colour", rawPng(2, 1, 8, 2, {{16, 32, 48, 16, 32, 49}}, {{"tRNS", {0, 16, 0, 32, 0, 48}}}),
         D3DFMT_X8R8G8B8, {16, 32, 48, 0, 16, 32, 49, 255}},
        {"16-bit grey and alpha", rawPng(1, 1, 16, 4, {{0x7F, 0xFF, 0x40, 0x01}}), D3DFMT_A8R8G8B8,
         {0x7F, 0x7F, 0x7F, 0x40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatOf(c.file), c.format);
        EXPECT_EQ(decodedRgba(c.file), c.rgba);
    }
}

TEST(PictureFormatsTest, JpegLayoutsDecodeAlike)
{
    // A JPEG pixel may move by the rounding of the decoder; flat 8 × 8 blocks at quality 100
    // stay within 12 steps of the source, and a progressive file decodes exactly like a
    // baseline one of the same coefficients.
    constexpr int kJpegTolerance = 12;
    const TestPicture blocks = blockPicture(48, 32, 8);
    const Bytes source = decodedRgba(encodePng(blocks));
    for (int quality : {100, 95}) {
        SCOPED_TRACE(quality);
        const Bytes baseline = libjpegEncode(48, 32, 3, blocks.pixels, quality, JpegLayout::Baseline);
        const Bytes progressive = libjpegEncode(48, 32, 3, blocks.pixels, quality, JpegLayout::Progressive);
        EXPECT_EQ(formatOf(progressive), D3DFMT_X8R8G8B8);
        EXPECT_LE(largestDifference(decodedRgba(baseline), source), kJpegTolerance);
        EXPECT_EQ(decodedRgba(progressive), decodedRgba(baseline));
    }
    const Bytes stbBaseline = encodeJpeg(blocks, 100);
    EXPECT_LE(largestDifference(decodedRgba(stbBaseline), source), kJpegTolerance);

    // Cutting a progressive file loses scans: refused, not decoded blurred.
    Bytes cut = libjpegEncode(48, 32, 3, blocks.pixels, 95, JpegLayout::Progressive);
    cut.resize(cut.size() * 3 / 4);
    EXPECT_TRUE(decodedRgba(cut).empty());
}

TEST(PictureFormatsTest, GreyAndCmykJpegs)
{
    const TestPicture grey = solidPicture(16, 8, 1, 0x80000000);
    const Bytes greyJpeg = libjpegEncode(16, 8, 1, grey.pixels, 100, JpegLayout::Baseline);
    EXPECT_EQ(formatOf(greyJpeg), D3DFMT_L8);
    const Bytes greyPixels = decodedRgba(greyJpeg);
    ASSERT_EQ(greyPixels.size(), 16u * 8 * 4);
    for (std::size_t i = 0; i < greyPixels.size(); i += 4) {
        EXPECT_NEAR(greyPixels[i], 0x80, 1);
        EXPECT_EQ(greyPixels[i], greyPixels[i + 2]);
        EXPECT_EQ(greyPixels[i + 3], 255);
    }

    // Stored (inverted) C, M, Y, K of 255, 128, 0, 200: R = 255·200/255, G = 128·200/255, B = 0.
    Bytes cmyk;
    for (int i = 0; i < 16 * 8; ++i) cmyk.insert(cmyk.end(), {255, 128, 0, 200});
    const Bytes cmykJpeg = libjpegEncode(16, 8, 4, cmyk, 100, JpegLayout::Baseline);
    EXPECT_EQ(formatOf(cmykJpeg), D3DFMT_X8R8G8B8);
    const Bytes rgba = decodedRgba(cmykJpeg);
    ASSERT_EQ(rgba.size(), 16u * 8 * 4);
    EXPECT_NEAR(rgba[0], 200, 2);
    EXPECT_NEAR(rgba[1], 100, 2);
    EXPECT_NEAR(rgba[2], 0, 2);
    EXPECT_EQ(rgba[3], 255);
}

} // namespace
