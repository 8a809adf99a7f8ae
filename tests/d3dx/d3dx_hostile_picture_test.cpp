// Pictures made to hurt: headers that promise more than the file holds, damaged bodies and
// entropy tables that used to drive the old decoder out of bounds. Each must be a clean
// refusal (or, for a valid but unusual file, a correct picture) without a large allocation.

#include "picture_fixtures.h"
#include "raw_picture_files.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

std::optional<PictureHeader> header(const std::vector<std::uint8_t>& file)
{
    return readPictureHeader(file.data(), file.size());
}

bool decodes(const std::vector<std::uint8_t>& file)
{
    return decodePicture(file.data(), file.size()).has_value();
}

std::size_t findMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker)
{
    for (std::size_t at = 2; at + 1 < jpeg.size(); ++at)
        if (jpeg[at] == 0xFF && jpeg[at + 1] == marker) return at;
    return jpeg.size();
}

TEST(HostilePictureTest, DecoderAllocationsStopAtTheCeiling)
{
    // Sizes the decoders compute from a file, including products that wrap around.
    const std::size_t huge = SIZE_MAX / 2 + 2;
    EXPECT_EQ(pictureAllocate(kMaxDecodedBytes + 1), nullptr);
    EXPECT_EQ(pictureAllocateZeroed(kMaxDecodedBytes / 4 + 1, 4), nullptr);
    EXPECT_EQ(pictureAllocateZeroed(huge, 2), nullptr); // wraps to 2
    void* block = pictureAllocateZeroed(16, 4);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<std::uint8_t*>(block)[63], 0);
    EXPECT_EQ(pictureReallocate(block, kMaxDecodedBytes + 1), nullptr); // the old block stays
    block = pictureReallocate(block, 128);
    ASSERT_NE(block, nullptr);
    pictureRelease(block);
}

TEST(HostilePictureTest, PngSizeIsBoundedByCeilingsAndByItsData)
{
    struct Case {
        std::uint32_t width, height;
        bool accepted;
    };
    // A header alone (33 bytes) can hold one 8192-pixel row of RGBA at deflate's 1032:1, but
    // not 8192 of them: that file once made the decoder ask for gigabytes.
    const Case cases[] = {{8192, 1, true}, {8193, 1, false}, {1, 8193, false}, {8192, 8192, false},
                          {100000, 100000, false}, {0, 5, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        std::vector<std::uint8_t> png = pngIhdr(c.width, c.height, 8, 6);
        EXPECT_EQ(header(png).has_value(), c.accepted);
    }

    // Rows that deflate to nearly nothing: 89 bytes declaring 8192 × 8192 is refused before
    // any pixel memory exists; a small picture that really compresses that well decodes.
    for (std::uint32_t side : {8192u, 64u}) {
        std::vector<std::vector<std::uint8_t>> rows(side == 64 ? 64 : 1, std::vector<std::uint8_t>(side * 4, 0));
        const std::vector<std::uint8_t> png = rawPng(side, side, 8, 6, rows);
        EXPECT_EQ(decodes(png), side == 64) << side;
    }
}

TEST(HostilePictureTest, PngWithDamagedHeaderOrTruncatedDataIsRefused)
{
    std::vector<std::uint8_t> png = encodePng(patternPicture(40, 40, 4));
    ASSERT_TRUE(decodes(png));
    std::vector<std::uint8_t> badCrc = png;
    badCrc[29] ^= 0x01; // IHDR's CRC
    EXPECT_FALSE(decodes(badCrc));

    png.resize(png.size() / 2); // the header still reads, the body does not
    EXPECT_TRUE(header(png).has_value());
    EXPECT_FALSE(decodes(png));
}

TEST(HostilePictureTest, TgaMustHoldEveryPixelItDeclares)
{
    // 18 header bytes and five of data declaring 8192 × 8192 run-length RGB: once accepted as
    // 256 MiB of garbage.
    std::vector<std::uint8_t> tiny = {0, 0, 10, 0, 0, 0, 0, 24, 0, 0, 0, 0, 0, 0x20, 0, 0x20, 24, 0x20,
                                      0xFF, 1, 2, 3, 0x00};
    EXPECT_FALSE(header(tiny).has_value());

    const TestPicture picture = patternPicture(30, 20, 3);
    std::vector<std::uint8_t> rle = encodeTga(picture); // stb_image_write packs runs
    ASSERT_EQ(rle[2], 10);
    std::vector<std::uint8_t> plain = rle;
    plain[2] = 2;
    plain.resize(18);
    plain.insert(plain.end(), picture.pixels.size(), 0x40);
    for (const auto* file : {&rle, &plain}) {
        SCOPED_TRACE((*file)[2] == 10 ? "run-length" : "plain");
        EXPECT_TRUE(decodes(*file));
        std::vector<std::uint8_t> cut = *file;
        cut.resize(cut.size() - 2);
        EXPECT_FALSE(header(cut).has_value());
    }
}

TEST(HostilePictureTest, TopDownBmpReadsLikeBottomUp)
{
    const TestPicture picture = patternPicture(5, 4, 3);
    const std::vector<std::uint8_t> bottomUp = encodeBmp(picture);
    const std::uint32_t offset = bottomUp[10] | bottomUp[11] << 8;
    const std::size_t stride = (5 * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> topDown(bottomUp.begin(), bottomUp.begin() + offset);
    for (unsigned row = 4; row-- > 0;)
        topDown.insert(topDown.end(), bottomUp.begin() + offset + row * stride,
                       bottomUp.begin() + offset + (row + 1) * stride);
    const std::int32_t negative = -4;
    for (int i = 0; i < 4; ++i) topDown[22 + i] = std::uint8_t(std::uint32_t(negative) >> (8 * i));

    const auto a = decodePicture(bottomUp.data(), bottomUp.size());
    const auto b = decodePicture(topDown.data(), topDown.size());
    ASSERT_TRUE(a && b);
    EXPECT_EQ(b->header.height, 4u);
    EXPECT_TRUE(std::equal(a->rgba.get(), a->rgba.get() + 5 * 4 * 4, b->rgba.get()));
    EXPECT_EQ(b->rgba[0], picture.at(0, 0)[0]);

    // The most negative height has no positive twin; a cut file lacks rows.
    std::vector<std::uint8_t> extreme = topDown;
    for (int i = 0; i < 4; ++i) extreme[22 + i] = std::uint8_t(std::uint32_t(INT_MIN) >> (8 * i));
    EXPECT_FALSE(header(extreme).has_value());
    std::vector<std::uint8_t> cut = topDown;
    cut.resize(cut.size() - stride);
    EXPECT_FALSE(header(cut).has_value());
}

TEST(HostilePictureTest, JpegWithBrokenEntropyTablesIsRefusedCleanly)
{
    const std::vector<std::uint8_t> good = encodeJpeg(patternPicture(16, 16, 3), 90);
    ASSERT_TRUE(decodes(good));
    const std::size_t dht = findMarker(good, 0xC4), sos = findMarker(good, 0xDA);
    ASSERT_LT(dht + 25, good.size());
    ASSERT_LT(sos + 6, good.size());
    ASSERT_EQ(good[dht + 4], 0x00); // the first table is DC table 0

    std::vector<std::uint8_t> overlong = good; // 16 × 17 = 272 codes in one table
    for (int k = 0; k < 16; ++k) overlong[dht + 5 + k] = 17;
    std::vector<std::uint8_t> undefined = good; // a scan naming table slot 2, never defined
    undefined[sos + 6] = 0x22;
    // A DC category above 15 asks for a shift wider than any coefficient (the old decoder's
    // undefined shift); every symbol of the first DC table becomes category 31.
    std::vector<std::uint8_t> wideShift = good;
    unsigned symbols = 0;
    for (int k = 0; k < 16; ++k) symbols += good[dht + 5 + k];
    for (unsigned k = 0; k < symbols; ++k) wideShift[dht + 21 + k] = 31;
    std::vector<std::uint8_t> truncated = good;
    truncated.resize(good.size() * 2 / 3);

    const struct {
        const char* name;
        const std::vector<std::uint8_t>* file;
    } cases[] = {{"overlong table", &overlong}, {"undefined table", &undefined}, {"wide shift", &wideShift},
                 {"truncated", &truncated}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(decodes(*c.file));
        D3DXIMAGE_INFO info{};
        const HRESULT hr = D3DXGetImageInfoFromFileInMemory(c.file->data(), UINT(c.file->size()), &info);
        EXPECT_TRUE(hr == D3D_OK || hr == D3DXERR_INVALIDDATA);
    }
    EXPECT_FALSE(header(overlong).has_value()); // tables are read with the header
}

TEST(HostilePictureTest, JpegNeedsABitPerBlockAndFillBytesStillStartOne)
{
    std::vector<std::uint8_t> jpeg = encodeJpeg(blockPicture(16, 16, 8), 90);
    const std::size_t sof = findMarker(jpeg, 0xC0);
    ASSERT_LT(sof + 9, jpeg.size());
    std::vector<std::uint8_t> huge = jpeg; // 8192 × 8192 is 1 Mi blocks: 128 KiB at least
    for (std::size_t at : {sof + 5, sof + 7}) huge[at] = 0x20, huge[at + 1] = 0x00;
    EXPECT_FALSE(header(huge).has_value());

    jpeg.insert(jpeg.begin(), {0xFF, 0xFF});
    const auto padded = header(jpeg);
    ASSERT_TRUE(padded.has_value());
    EXPECT_EQ(padded->kind, PictureFileKind::Jpeg);
    EXPECT_TRUE(decodes(jpeg));
}

} // namespace
