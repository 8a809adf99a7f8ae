// Starting WAV data at an exact frame: the chunk walk that finds the frames, and the RWops
// that hides the frames before the start without reading past the data's end.
#include "platform/sound/music_header_check.h"
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

namespace {

// The fields of a format chunk, for headers that must be judged before the decoder runs. The
// builders stay out of line: inlined into the table, gcc 12 warns falsely of uninitialised bytes.
struct FormatFields {
    int tag, channels, rate, blockAlign, bits;
};

[[gnu::noinline]] std::vector<std::uint8_t> waveWith(const FormatFields& f, std::uint32_t declaredFmtSize = 0xFFFFFFFF)
{
    std::vector<std::uint8_t> body;
    auto put = [&body](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) body.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(f.tag, 2);
    put(f.channels, 2);
    put(f.rate, 4);
    put(static_cast<std::uint32_t>(f.rate) * static_cast<std::uint32_t>(f.blockAlign), 4);
    put(f.blockAlign, 2);
    put(f.bits, 2);
    if (f.tag == 2 || f.tag == 0x11) put(0, 4);  // cbSize and samples per block
    WavBuilder wave;
    wave.chunk("fmt ", body, declaredFmtSize).chunk("data", frames(64));
    return wave.bytes;
}

// An AIFF file's FORM and COMM chunk: channels, frames, bits and the rate as an 80-bit float.
std::vector<std::uint8_t> aiffWith(int channels, int bits, std::uint16_t rateExponent, std::uint8_t rateTop)
{
    std::vector<std::uint8_t> bytes = {'F', 'O', 'R', 'M', 0, 0, 0, 46, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0, 18};
    auto put = [&bytes](std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(static_cast<std::uint16_t>(channels), 2);
    put(16, 4);
    put(static_cast<std::uint16_t>(bits), 2);
    put(rateExponent, 2);
    put(rateTop, 1);
    put(0, 4);
    put(0, 3);
    return bytes;
}

[[gnu::noinline]] std::vector<std::uint8_t> dataBeforeFormat()
{
    WavBuilder wave;
    wave.chunk("data", frames(8)).format(1, 1, 8000, 2);
    return wave.bytes;
}

[[gnu::noinline]] std::vector<std::uint8_t> withoutFormat()
{
    WavBuilder wave;
    wave.chunk("LIST", frames(8));
    return wave.bytes;
}

bool saneHeader(const std::vector<std::uint8_t>& bytes)
{
    SDL_RWops* file = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    SDL_RWseek(file, 3, RW_SEEK_SET);
    const bool sane = musicHeaderIsSane(file);
    EXPECT_EQ(SDL_RWtell(file), 3);
    SDL_RWclose(file);
    return sane;
}

} // namespace

// A WAVE file with 0 channels used to kill the process with SIGFPE inside the mixer's decoder.
TEST(MusicHeaderCheckTest, WaveFormatsAreJudgedBeforeTheDecoderSeesThem)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
        bool sane;
    };
    const Case cases[] = {
        {"16-bit stereo PCM", waveWith({1, 2, 44100, 4, 16}), true},
        {"8-bit mono PCM", waveWith({1, 1, 8000, 1, 8}), true},
        {"32-bit float, 6 channels", waveWith({3, 6, 48000, 24, 32}), true},
        {"IMA ADPCM", waveWith({0x11, 2, 22050, 512, 4}), true},
        {"no channels", waveWith({1, 0, 44100, 0, 16}), false},
        {"no channels, block align kept", waveWith({1, 0, 44100, 4, 16}), false},
        {"no rate", waveWith({1, 2, 0, 4, 16}), false},
        {"absurd rate", waveWith({1, 2, 0x7FFFFFFF, 4, 16}), false},
        {"no block align", waveWith({1, 2, 44100, 0, 16}), false},
        {"block align against channels and bits", waveWith({1, 2, 44100, 3, 16}), false},
        {"no bits", waveWith({1, 2, 44100, 4, 0}), false},
        {"too many channels", waveWith({1, 200, 44100, 400, 16}), false},
        {"ADPCM block smaller than its headers", waveWith({2, 2, 22050, 8, 4}), false},
        {"unknown format tag", waveWith({0x55, 2, 44100, 4, 16}), false},
        {"format chunk shorter than 16 bytes", waveWith({1, 2, 44100, 4, 16}, 12), false},
        {"format chunk running past the file", waveWith({1, 2, 44100, 4, 16}, 100000), false},
        {"data before any format", dataBeforeFormat(), false},
        {"no format at all", withoutFormat(), false},
        {"AIFF, 16-bit stereo at 44100", aiffWith(2, 16, 0x400E, 0xAC), true},
        {"AIFF with no channels", aiffWith(0, 16, 0x400E, 0xAC), false},
        {"AIFF with no bits", aiffWith(2, 0, 0x400E, 0xAC), false},
        {"AIFF with a rate of 0", aiffWith(2, 16, 0, 0), false},
        {"AIFF with an infinite rate", aiffWith(2, 16, 0x7FFF, 0x80), false},
        {"not a WAVE or AIFF file", std::vector<std::uint8_t>(64, 'x'), true},
    };
    for (const Case& c : cases) EXPECT_EQ(saneHeader(c.file), c.sane) << c.what;
}
