// The movie header reader on movies the tests make: every compression with rectangles of
// every packing width, then truncated, damaged and foreign input, which give no header (and
// 0 frames through the file reader) without reading out of bounds.
#include "flash_movie_fixtures.h"
#include "platform/flash/flash_movie_file.h"
#include "platform/flash/flash_movie_header.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* nameOf(FlashCompression c)
{
    return c == FlashCompression::None ? "FWS" : c == FlashCompression::Zlib ? "CWS" : "ZWS";
}

constexpr FlashCompression kAll[] = {FlashCompression::None, FlashCompression::Zlib, FlashCompression::Lzma};

std::optional<FlashMovieHeader> read(const std::vector<std::uint8_t>& bytes)
{
    // A copy of exactly the given length, so ASan sees any read past its end.
    std::vector<std::uint8_t> exact(bytes);
    return readFlashMovieHeader(exact.data(), exact.size());
}

TEST(FlashMovieHeader, ReadsEveryFieldOfEveryKind)
{
    struct Case {
        FlashFrameRect rect;
        unsigned rectBits;
        std::uint16_t rate, frames;
    };
    const Case cases[] = {
        {{0, 16000, 0, 12000}, 0, 25 << 8, 1},              // the usual 800 × 600 stage
        {{0, 0, 0, 0}, 0, 0, 0},                            // smallest rectangle
        {{-5, 3, -1, 1}, 4, 0x0C80, 65535},                 // negative coordinates, 12.5 fps
        {{-1073741824, 1073741823, 7, -7}, 31, 0x1E00, 300}, // widest packing: 17 rectangle bytes
        {{0, 16000, 0, 12000}, 31, 0x3C00, 4242},           // wider than needed
    };
    for (FlashCompression compression : kAll) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(nameOf(compression)) + " frames " + std::to_string(c.frames));
            TestMovie movie;
            movie.compression = compression;
            movie.version = 13;
            movie.rect = c.rect;
            movie.rectBits = c.rectBits;
            movie.frameRate = c.rate;
            movie.frameCount = c.frames;
            const std::vector<std::uint8_t> bytes = makeFlashMovie(movie);
            const std::optional<FlashMovieHeader> header = read(bytes);
            ASSERT_TRUE(header);
            EXPECT_EQ(header->compression, compression);
            EXPECT_EQ(header->version, 13);
            EXPECT_EQ(header->frameCount, c.frames);
            EXPECT_EQ(header->frameRate, c.rate);
            EXPECT_EQ(header->frameRect.xMin, c.rect.xMin);
            EXPECT_EQ(header->frameRect.xMax, c.rect.xMax);
            EXPECT_EQ(header->frameRect.yMin, c.rect.yMin);
            EXPECT_EQ(header->frameRect.yMax, c.rect.yMax);
            EXPECT_GT(header->fileLength, 8u);
        }
    }
}

TEST(FlashMovieHeader, EveryTruncationBeforeTheFrameCountGivesNothing)
{
    for (FlashCompression compression : kAll) {
        TestMovie movie;
        movie.compression = compression;
        movie.tagBytes = 0;
        movie.frameCount = 77;
        const std::vector<std::uint8_t> whole = makeFlashMovie(movie);
        ASSERT_TRUE(read(whole)) << nameOf(compression);
        // The uncompressed body ends with the count, so any shorter FWS file lacks part of it;
        // compressed bodies lose it somewhere before their end, and must never read on.
        std::size_t firstComplete = whole.size();
        for (std::size_t length = 0; length < whole.size(); ++length) {
            const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
            const std::optional<FlashMovieHeader> header = read(cut);
            if (header) {
                firstComplete = std::min(firstComplete, length);
                EXPECT_EQ(header->frameCount, 77) << nameOf(compression) << " cut at " << length;
            }
        }
        if (compression == FlashCompression::None) {
            EXPECT_EQ(firstComplete, whole.size());
        }
        EXPECT_GT(firstComplete, 8u) << nameOf(compression);
    }
}

TEST(FlashMovieHeader, ForeignAndDamagedInputGivesNothing)
{
    TestMovie movie;
    movie.compression = FlashCompression::Zlib;
    std::vector<std::uint8_t> brokenZlib = makeFlashMovie(movie);
    brokenZlib[8] ^= 0xFF; // the zlib header's method byte

    movie.compression = FlashCompression::Lzma;
    std::vector<std::uint8_t> badProperties = makeFlashMovie(movie);
    badProperties[12] = 0xFF; // lc/lp/pb byte beyond its range

    movie.compression = FlashCompression::None;
    std::vector<std::uint8_t> lowerCase = makeFlashMovie(movie);
    lowerCase[0] = 'f';

    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"signature only", {'F', 'W', 'S'}},
        {"other file", {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0}},
        {"lower-case signature", lowerCase},
        {"broken zlib stream", brokenZlib},
        {"bad LZMA properties", badProperties},
        {"ZWS without properties", {'Z', 'W', 'S', 13, 40, 0, 0, 0, 9, 0, 0, 0, 0x5D}},
    };
    for (const auto& c : cases) EXPECT_FALSE(read(c.bytes)) << c.what;
    EXPECT_FALSE(readFlashMovieHeader(nullptr, 0));
}

TEST(FlashMovieHeader, LzmaDictionaryClaimCostsNothing)
{
    TestMovie movie;
    movie.compression = FlashCompression::Lzma;
    movie.frameCount = 9;
    std::vector<std::uint8_t> bytes = makeFlashMovie(movie);
    // The four dictionary-size bytes after lc/lp/pb: claim 4 GiB − 1.
    for (int k = 13; k < 17; ++k) bytes[k] = 0xFF;
    const std::optional<FlashMovieHeader> header = read(bytes);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->frameCount, 9);
}

TEST(FlashMovieFile, FrameCountFromTheDiskAndZeroForWhatCannotBeRead)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("flash_header_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto put = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(folder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (folder / name).string();
    };
    TestMovie movie;
    movie.compression = FlashCompression::Lzma;
    movie.frameCount = 1234;
    movie.tagBytes = 200000; // longer than the reader looks at
    const std::vector<std::uint8_t> whole = makeFlashMovie(movie);
    EXPECT_EQ(readMovieFrameCount(put("long.swf", whole)), 1234);
    EXPECT_EQ(readMovieFrameCount(put("cut.swf", {whole.begin(), whole.begin() + 14})), 0);
    EXPECT_EQ(readMovieFrameCount(put("text.swf", {'h', 'e', 'l', 'l', 'o'})), 0);
    EXPECT_EQ(readMovieFrameCount((folder / "absent.swf").string()), 0);
    EXPECT_EQ(readMovieFrameCount(folder.string()), 0); // a directory
    EXPECT_TRUE(movieFileReadable((folder / "cut.swf").string()));
    EXPECT_FALSE(movieFileReadable((folder / "absent.swf").string()));
    std::filesystem::remove_all(folder);
}

TEST(FlashMovieFile, FuzzSeedsFromAnIndependentEncoderReadAsWritten)
{
    // The seeds were made with Python's zlib and lzma modules, not with the test fixtures.
    const std::string corpus = std::string(DEMO_SOURCE_ROOT) + "/tests/fuzz/corpus/flash_header/";
    const struct {
        const char* name;
        int frames;
    } cases[] = {
        {"fws_stage_800x600", 250}, {"cws_stage_800x600", 250}, {"zws_stage_800x600", 250},
        {"zws_negative_rect", 65535}, {"cws_wide_rect", 300},   {"zws_empty_rect", 1},
        {"fws_truncated", 0},       {"cws_truncated", 0},       {"zws_truncated", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(readMovieFrameCount(corpus + c.name), c.frames) << c.name;
}

} // namespace
