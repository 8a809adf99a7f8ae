// Starting WAV data at an exact frame: the chunk walk that finds the frames, and the RWops
// that hides the frames before the start without reading past the data's end.
#include "platform/sound/skipping_rwops.h"
#include "platform/sound/wav_layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct WavBuilder {
    std::vector<std::uint8_t> bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};

    WavBuilder& chunk(const char* id, const std::vector<std::uint8_t>& body, std::uint32_t declared = 0xFFFFFFFF)
    {
        bytes.insert(bytes.end(), id, id + 4);
        const std::uint32_t size = declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared;
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(size >> shift));
        bytes.insert(bytes.end(), body.begin(), body.end());
        if (body.size() % 2 == 1) bytes.push_back(0);  // chunks are padded to an even length
        return *this;
    }
    // A format chunk: tag, channels, rate, block align (bytes per frame).
    WavBuilder& format(int tag, int channels, int rate, int blockAlign, bool extensibleSubformat = false)
    {
        std::vector<std::uint8_t> body;
        auto put = [&body](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) body.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        };
        put(extensibleSubformat ? 0xFFFE : tag, 2);
        put(channels, 2);
        put(rate, 4);
        put(rate * blockAlign, 4);
        put(blockAlign, 2);
        put(16, 2);
        if (extensibleSubformat) {
            put(22, 2);
            put(16, 2);
            put(0, 4);
            put(tag, 2);  // the subformat GUID begins with the format tag
            for (int i = 0; i < 14; ++i) body.push_back(0);
        }
        return chunk("fmt ", body);
    }
};

std::vector<std::uint8_t> frames(int count)
{
    std::vector<std::uint8_t> data;
    for (int i = 0; i < count; ++i) data.push_back(static_cast<std::uint8_t>(i));
    return data;
}

std::optional<WavLayout> layoutOf(const std::vector<std::uint8_t>& bytes)
{
    SDL_RWops* file = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_RWseek(file, 5, RW_SEEK_SET);
    std::optional<WavLayout> layout = readWavLayout(file);
    EXPECT_EQ(SDL_RWtell(file), 5) << "the position is put back";
    SDL_RWclose(file);
    return layout;
}

} // namespace

TEST(WavLayoutTest, FindsTheDataPastOtherChunksIncludingAnOddSizedOne)
{
    const auto bytes = WavBuilder{}.chunk("LIST", {1, 2, 3}).format(1, 2, 8000, 4).chunk("data", frames(40)).bytes;
    const std::optional<WavLayout> layout = layoutOf(bytes);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataStart, static_cast<std::int64_t>(bytes.size() - 40));
    EXPECT_EQ(layout->dataEnd, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(layout->blockAlign, 4);
    EXPECT_EQ(layout->sampleRate, 8000);
    EXPECT_EQ(layout->byteOffsetAt(1), layout->dataStart + 8 * 4) << "8 frames per millisecond at 8 kHz";
    EXPECT_EQ(layout->byteOffsetAt(1000000), layout->dataEnd) << "a time past the end is the end";
    EXPECT_EQ(layout->byteOffsetAt(-5), layout->dataStart);
}

TEST(WavLayoutTest, DataLongerThanTheFileEndsAtTheLastWholeFrame)
{
    const auto bytes = WavBuilder{}.format(1, 2, 8000, 4).chunk("data", frames(10), 1000).bytes;
    const std::optional<WavLayout> layout = layoutOf(bytes);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->dataEnd - layout->dataStart, 8) << "10 bytes hold two whole 4-byte frames";
}

TEST(WavLayoutTest, FloatAndExtensiblePcmQualifyCompressedDataDoesNot)
{
    EXPECT_TRUE(layoutOf(WavBuilder{}.format(3, 1, 8000, 4).chunk("data", frames(8)).bytes));
    EXPECT_TRUE(layoutOf(WavBuilder{}.format(1, 2, 8000, 4, true).chunk("data", frames(8)).bytes));
    EXPECT_FALSE(layoutOf(WavBuilder{}.format(2, 1, 8000, 256).chunk("data", frames(8)).bytes)) << "ADPCM";
    EXPECT_FALSE(layoutOf(WavBuilder{}.chunk("data", frames(8)).bytes)) << "no format before the data";
    EXPECT_FALSE(layoutOf(WavBuilder{}.format(1, 1, 8000, 0).chunk("data", frames(8)).bytes)) << "empty frames";
    EXPECT_FALSE(layoutOf(WavBuilder{}.format(1, 1, 8000, 2).bytes)) << "no data chunk";
    EXPECT_FALSE(layoutOf({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}));
    EXPECT_FALSE(layoutOf(WavBuilder{}.chunk("JUNK", {}, 0x7FFFFFF0).bytes)) << "a chunk claiming more than the file";
}

TEST(SkippingRwopsTest, TheDataReadsFromTheSkipOnAndStopsAtTheDataEnd)
{
    // Header "HHHH", data "0123456789", then a trailing chunk "TTTT".
    const std::string file = "HHHH0123456789TTTT";
    SDL_RWops* rwops = skippingRwops(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())));
    ASSERT_NE(rwops, nullptr);
    setSkip(rwops, 4, 14, 6);

    char buffer[32] = {};
    ASSERT_EQ(SDL_RWseek(rwops, 2, RW_SEEK_SET), 2);
    EXPECT_EQ(SDL_RWread(rwops, buffer, 1, sizeof buffer), 6u) << "header, then data from the skip, then nothing";
    EXPECT_EQ(std::string(buffer, 6), "HH6789");
    EXPECT_EQ(SDL_RWtell(rwops), 8);
    EXPECT_EQ(SDL_RWread(rwops, buffer, 1, sizeof buffer), 0u);

    ASSERT_EQ(SDL_RWseek(rwops, 5, RW_SEEK_SET), 5);
    EXPECT_EQ(SDL_RWread(rwops, buffer, 2, 1), 1u);
    EXPECT_EQ(std::string(buffer, 2), "78");

    setSkip(rwops, 4, 14, 0);
    ASSERT_EQ(SDL_RWseek(rwops, 4, RW_SEEK_SET), 4);
    EXPECT_EQ(SDL_RWread(rwops, buffer, 1, sizeof buffer), 14u) << "no skip: the file as it is";
    EXPECT_EQ(std::string(buffer, 14), "0123456789TTTT");
    SDL_RWclose(rwops);
}

TEST(SkippingRwopsTest, ASkipIsKeptWithinTheData)
{
    const std::string file = "HH0123";
    SDL_RWops* rwops = skippingRwops(SDL_RWFromConstMem(file.data(), static_cast<int>(file.size())));
    setSkip(rwops, 2, 6, 100);
    char buffer[8] = {};
    SDL_RWseek(rwops, 2, RW_SEEK_SET);
    EXPECT_EQ(SDL_RWread(rwops, buffer, 1, sizeof buffer), 0u);
    SDL_RWclose(rwops);
}
