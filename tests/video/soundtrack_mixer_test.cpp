// The offline mixer: which file sample lands on which soundtrack sample, with which gain, for
// stretches that start late, start inside the file, change volume, end, run past the file's
// end or overlap; and a soundtrack mixed in pieces equals one mixed at once.
#include "video/soundtrack_mixer.h"

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 1000;  // one sample a millisecond keeps the expectations readable

// Left channel: the file sample's index; right: its negative.
DecodedMusic ramp(std::size_t frames)
{
    DecodedMusic music;
    music.sampleRate = kRate;
    for (std::size_t i = 0; i < frames; ++i) {
        music.samples.push_back(static_cast<float>(i) / 1024.0f);
        music.samples.push_back(-static_cast<float>(i) / 1024.0f);
    }
    return music;
}

MusicPlayback stretch(double startMs, double fileMs, double endMs, std::vector<VolumeChange> volumes)
{
    MusicPlayback playback;
    playback.startMs = startMs;
    playback.fileMs = fileMs;
    playback.endMs = endMs;
    playback.volumes = std::move(volumes);
    return playback;
}

class SoundtrackMixerTest : public ::testing::Test {
protected:
    DecodedMusic music = ramp(1000);
    SoundtrackMixer mixer{kRate, [this](std::size_t file) { return file == 0 ? &music : nullptr; }};

    std::vector<float> mix(const std::vector<MusicPlayback>& playbacks, std::int64_t from, std::size_t count)
    {
        std::vector<float> out;
        mixer.mix(playbacks, from, count, out);
        return out;
    }
};

TEST_F(SoundtrackMixerTest, PlacesFileSamplesWithTheVolumeInForce)
{
    // Starts at 10 ms from 100 ms into the file; 128 of 255 at 20 ms; stops at 30 ms.
    const auto out = mix({stretch(10, 100, 30, {{10, 255}, {20, 128}})}, 0, 40);
    const float half = static_cast<float>((128 * 128 + 127) / 255) / 128.0f;
    struct Expect {
        int sample;
        float left;
    };
    const Expect table[] = {
        {0, 0.0f},                         // before the start: silence
        {9, 0.0f},
        {10, 100 / 1024.0f},               // the first sample is the seek position's
        {19, 109 / 1024.0f},
        {20, 110 / 1024.0f * half},        // the volume change, on its sample
        {29, 119 / 1024.0f * half},
        {30, 0.0f},                        // stopped
        {39, 0.0f},
    };
    for (const Expect& e : table) {
        EXPECT_FLOAT_EQ(out[static_cast<std::size_t>(e.sample) * 2], e.left) << "sample " << e.sample;
        EXPECT_FLOAT_EQ(out[static_cast<std::size_t>(e.sample) * 2 + 1], -e.left) << "sample " << e.sample;
    }
}

TEST_F(SoundtrackMixerTest, SilentPastTheFileAndForFilesThatDoNotDecode)
{
    MusicPlayback undecodable = stretch(0, 0, 50, {{0, 255}});
    undecodable.file = 1;
    const auto out = mix({stretch(0, 990, 50, {{0, 255}}), undecodable}, 0, 50);
    EXPECT_FLOAT_EQ(out[9 * 2], 999 / 1024.0f);
    for (int n = 10; n < 50; ++n) EXPECT_EQ(out[static_cast<std::size_t>(n) * 2], 0.0f) << n;
    // A seek beyond the end is silence too, never a read past it.
    const auto beyond = mix({stretch(0, 5000, 50, {{0, 255}})}, 0, 50);
    for (float sample : beyond) EXPECT_EQ(sample, 0.0f);
}

TEST_F(SoundtrackMixerTest, PiecesEqualTheWholeAndOverlapsAddUpClipped)
{
    const std::vector<MusicPlayback> playbacks = {
        stretch(5, 0, std::numeric_limits<double>::infinity(), {{5, 255}, {33, 60}, {71, 0}, {80, 255}}),
        stretch(40, 900, 60, {{40, 255}}),
    };
    const auto whole = mix(playbacks, 0, 100);
    std::vector<float> pieces;
    for (std::int64_t from = 0; from < 100; from += 7) {
        const auto piece = mix(playbacks, from, static_cast<std::size_t>(std::min<std::int64_t>(7, 100 - from)));
        pieces.insert(pieces.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(pieces, whole);
    // At 45 ms both sound: 40 at volume 60 plus 905 at full, clipped to 1 at most.
    const float gain60 = static_cast<float>((60 * 128 + 127) / 255) / 128.0f;
    EXPECT_FLOAT_EQ(whole[45 * 2], std::min(1.0f, 40 / 1024.0f * gain60 + 905 / 1024.0f));
    EXPECT_EQ(whole[75 * 2], 0.0f) << "volume 0";
    EXPECT_FLOAT_EQ(whole[85 * 2], 80 / 1024.0f);
}

TEST(SoundtrackSampleAt, RoundsToTheNearestSampleAndClampsTheEnds)
{
    EXPECT_EQ(soundtrackSampleAt(0, 44100), 0);
    EXPECT_EQ(soundtrackSampleAt(-5, 44100), 0);
    EXPECT_EQ(soundtrackSampleAt(1000.0 / 60 * 1001 / 1000, 44100), 736);  // a 59.94 fps frame: 735.735...
    EXPECT_EQ(soundtrackSampleAt(std::numeric_limits<double>::infinity(), 44100),
              std::numeric_limits<std::int64_t>::max());
}

} // namespace
