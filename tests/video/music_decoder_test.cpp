// Decoding music for the soundtrack: a WAVE file's samples come out exactly (mono on both
// sides, in order, none lost or added), other rates are converted to the asked one, and
// damaged or foreign bytes give a reason instead of samples.
#include "music/test_tone.h"
#include "video/music_decoder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(MusicDecoder, WaveSamplesComeOutExactlyOnBothSides)
{
    const auto samples = toneSamples(44100, 0.5, {{0.25, 440.0}, {0.25, 1000.0}});
    const auto file = wavFile(44100, samples);
    std::string error;
    const auto music = decodeMusic(file, 44100, error);
    ASSERT_TRUE(music) << error;
    ASSERT_EQ(music->frames(), samples.size());
    for (std::size_t i = 0; i < samples.size(); i += 97) {
        EXPECT_FLOAT_EQ(music->samples[i * 2], samples[i] / 32768.0f) << i;
        EXPECT_FLOAT_EQ(music->samples[i * 2 + 1], samples[i] / 32768.0f) << i;
    }
    EXPECT_TRUE(musicOpens(file));
}

TEST(MusicDecoder, OtherRatesAreConvertedKeepingTheLength)
{
    const auto samples = toneSamples(22050, 0.5, {{1.0, 440.0}});
    std::string error;
    const auto music = decodeMusic(wavFile(22050, samples), 44100, error);
    ASSERT_TRUE(music) << error;
    EXPECT_NEAR(static_cast<double>(music->frames()), 44100.0, 64.0);
    EXPECT_EQ(music->sampleRate, 44100);
}

TEST(MusicDecoder, DamagedOrForeignBytesGiveAReason)
{
    const auto good = wavFile(44100, toneSamples(44100, 0.5, {{0.1, 440.0}}));
    const std::vector<std::vector<std::uint8_t>> cases = {
        {},
        {'n', 'o', 't', ' ', 'm', 'u', 's', 'i', 'c'},
        std::vector<std::uint8_t>(good.begin(), good.begin() + 20),  // cut inside the header
    };
    for (const auto& bytes : cases) {
        std::string error;
        EXPECT_FALSE(decodeMusic(bytes, 44100, error)) << bytes.size();
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(musicOpens(bytes));
    }
    // A rate of hundreds of millions (the converter would need gigabytes for it) is refused.
    auto absurd = good;
    absurd[24] = 0x44, absurd[25] = 0xAC, absurd[26] = 0x00, absurd[27] = 0x27;
    std::string rateError;
    EXPECT_FALSE(decodeMusic(absurd, 44100, rateError));
    EXPECT_FALSE(rateError.empty());
    // Cut inside the data: what is there decodes, nothing is read beyond it.
    std::vector<std::uint8_t> cut(good.begin(), good.begin() + 44 + 1000);
    std::string error;
    const auto partial = decodeMusic(cut, 44100, error);
    if (partial) {
        EXPECT_LE(partial->frames(), 500u);
    }
}

} // namespace
