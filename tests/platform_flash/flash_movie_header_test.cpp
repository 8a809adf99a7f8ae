// The movie header reader: every compression with rectangles of every packing width, then
// truncated, damaged and foreign input, which gives no header (0 frames through the file
// reader) and never a read outside the input.
#include "flash_movie_fixtures.h"
#include "platform/flash/flash_movie_file.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

constexpr FlashCompression kAll[] = {FlashCompression::None, FlashCompression::Zlib, FlashCompression::Lzma};

// On an exact-size copy, so ASan sees any read past the end.
std::optional<FlashMovieHeader> read(std::vector<std::uint8_t> exact)
{
    return readFlashMovieHeader(exact.data(), exact.size());
}

TEST(FlashMovieHeader, ReadsEveryKindAndEveryRectanglePacking)
{
    const struct {
        FlashFrameRect rect;
        unsigned bits;
        std::uint16_t frames;
    } cases[] = {{{0, 16000, 0, 12000}, 0, 1}, {{0, 0, 0, 0}, 0, 0}, {{-5, 3, -1, 1}, 4, 65535},
                 {{-1073741824, 1073741823, 7, -7}, 31, 300}};
    for (FlashCompression compression : kAll) {
        for (const auto& c : cases) {
            const std::optional<FlashMovieHeader> h = read(makeFlashMovie({compression, 13, c.rect, 0x0C80, c.frames, c.bits}));
            ASSERT_TRUE(h) << static_cast<int>(compression) << " " << c.frames;
            EXPECT_EQ(h->compression, compression);
            EXPECT_EQ(std::tie(h->version, h->frameRate, h->frameCount), std::make_tuple(13, 0x0C80, c.frames));
            EXPECT_EQ(std::tie(h->frameRect.xMin, h->frameRect.xMax, h->frameRect.yMin, h->frameRect.yMax),
                      std::tie(c.rect.xMin, c.rect.xMax, c.rect.yMin, c.rect.yMax));
        }
    }
    // A ZWS movie may claim a 4 GiB dictionary; reading its header must not need one.
    std::vector<std::uint8_t> greedy = makeFlashMovie({FlashCompression::Lzma, 13, {}, 0, 9});
    for (int k = 13; k < 17; ++k) greedy[k] = 0xFF;
    ASSERT_TRUE(read(greedy));
    EXPECT_EQ(read(greedy)->frameCount, 9);
}

TEST(FlashMovieHeader, TruncatedDamagedAndForeignInputGivesNothing)
{
    for (FlashCompression compression : kAll) {
        TestMovie movie{compression, 10, {0, 16000, 0, 12000}, 0, 77, 0, 0};
        const std::vector<std::uint8_t> whole = makeFlashMovie(movie);
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const auto header = read({whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length)});
            // A stored body ends with the count; a compressed one may give it up a little early.
            if (compression == FlashCompression::None || length <= 12) {
                EXPECT_FALSE(header) << static_cast<int>(compression) << " cut at " << length;
            } else if (header) {
                EXPECT_EQ(header->frameCount, 77);
            }
        }
    }
    std::vector<std::uint8_t> brokenZlib = makeFlashMovie({FlashCompression::Zlib});
    brokenZlib[8] ^= 0xFF; // zlib method byte
    std::vector<std::uint8_t> badProperties = makeFlashMovie({FlashCompression::Lzma});
    badProperties[12] = 0xFF; // lc/lp/pb beyond range
    std::vector<std::uint8_t> lowerCase = makeFlashMovie({});
    lowerCase[0] = 'f';
    for (const auto& bytes : {std::vector<std::uint8_t>{}, {'F', 'W', 'S'}, {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
                              {'Z', 'W', 'S', 13, 40, 0, 0, 0, 9, 0, 0, 0, 0x5D}, lowerCase, brokenZlib, badProperties})
        EXPECT_FALSE(read(bytes)) << bytes.size() << " bytes";
}

TEST(FlashMovieFile, FrameCountsOfSeedsFromAnIndependentEncoderAndZeroForTheUnreadable)
{
    // Made with Python's zlib and lzma modules, not with the fixtures.
    const std::string corpus = std::string(DEMO_SOURCE_ROOT) + "/tests/fuzz/corpus/flash_header/";
    const struct {
        std::string name;
        int frames;
    } cases[] = {{"fws_stage_800x600", 250}, {"cws_stage_800x600", 250}, {"zws_stage_800x600", 250},
                 {"zws_negative_rect", 65535}, {"cws_wide_rect", 300},   {"fws_truncated", 0},
                 {"cws_truncated", 0},       {"zws_truncated", 0},       {"absent", 0}, {"", 0} /* a folder */};
    for (const auto& c : cases) EXPECT_EQ(readMovieFrameCount(corpus + c.name), c.frames) << c.name;
    EXPECT_TRUE(movieFileReadable(corpus + "fws_truncated"));
    EXPECT_FALSE(movieFileReadable(corpus));
}

} // namespace
