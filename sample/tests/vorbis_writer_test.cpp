// The Ogg Vorbis writer, read back with libvorbisfile: the exact length, both channels, and
// the pitch of a tone survive the lossy coding.
#include "vorbis_writer.h"

#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<float> left, right;
};

Decoded decode(const std::vector<std::uint8_t>& bytes)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / ("vorbis_" + std::to_string(::getpid()) + ".ogg");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    OggVorbis_File file;
    Decoded out;
    if (ov_fopen(path.c_str(), &file) != 0) {
        std::filesystem::remove(path);
        ADD_FAILURE() << "libvorbisfile cannot open the stream";
        return out;
    }
    const vorbis_info* info = ov_info(&file, -1);
    out.rate = info->rate;
    out.channels = info->channels;
    for (;;) {
        float** pcm = nullptr;
        int section = 0;
        const long count = ov_read_float(&file, &pcm, 1024, &section);
        if (count <= 0) break;
        out.left.insert(out.left.end(), pcm[0], pcm[0] + count);
        if (out.channels > 1) out.right.insert(out.right.end(), pcm[1], pcm[1] + count);
    }
    ov_clear(&file);
    std::filesystem::remove(path);
    return out;
}

int zeroCrossings(const std::vector<float>& samples)
{
    int count = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) count += (samples[i - 1] < 0) != (samples[i] < 0);
    return count;
}

TEST(VorbisWriter, ToneComesBackWithItsLengthChannelsAndPitch)
{
    // One second: 440 Hz on the left, silence on the right.
    constexpr int rate = 44100;
    std::vector<std::int16_t> samples;
    for (int i = 0; i < rate; ++i) {
        samples.push_back(static_cast<std::int16_t>(std::lround(16000.0 * std::sin(6.283185307 * 440.0 * i / rate))));
        samples.push_back(0);
    }
    const Decoded decoded = decode(encodeOggVorbis(samples, rate, 0.4f));
    EXPECT_EQ(decoded.rate, rate);
    ASSERT_EQ(decoded.channels, 2);
    ASSERT_EQ(decoded.left.size(), static_cast<std::size_t>(rate));
    EXPECT_NEAR(zeroCrossings(decoded.left), 880, 6);
    float loudestRight = 0.0f, loudestLeft = 0.0f;
    for (std::size_t i = 0; i < decoded.left.size(); ++i) {
        loudestLeft = std::max(loudestLeft, std::fabs(decoded.left[i]));
        loudestRight = std::max(loudestRight, std::fabs(decoded.right[i]));
    }
    EXPECT_NEAR(loudestLeft, 16000.0f / 32768.0f, 0.08f);
    EXPECT_LT(loudestRight, 0.02f);
}

TEST(VorbisWriter, AnEmptyInputStillMakesAValidStream)
{
    const Decoded decoded = decode(encodeOggVorbis({}, 44100, 0.4f));
    EXPECT_EQ(decoded.channels, 2);
    EXPECT_TRUE(decoded.left.empty());
}

TEST(VorbisWriter, RefusesRatesOutOfRangeAndHalfFrames)
{
    EXPECT_THROW(encodeOggVorbis({0, 0}, 1, 0.4f), std::invalid_argument);
    EXPECT_THROW(encodeOggVorbis({0, 0}, 400000, 0.4f), std::invalid_argument);
    EXPECT_THROW(encodeOggVorbis({0, 0, 0}, 44100, 0.4f), std::invalid_argument);
}

} // namespace
