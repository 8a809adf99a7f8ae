// Every kind of music file besides WAV (see mixer_playback_test.cpp) starts at the requested
// position on the real SDL_mixer library: OGG Vorbis, FLAC and MP3 made from one rising test
// tone by the encoder libraries (a kind whose encoder is missing is left out), and a tracker
// module.
#include "disk_audio.h"
#include "music/music_stream.h"
#include "music_test_support.h"
#include "test_tone.h"
#include "tracker_module.h"

#include <cstdlib>
#include <functional>

namespace {

constexpr int kRate = 44100;

struct FormatCase {
    const char* name;
    const char* fileName;
    std::function<std::vector<std::uint8_t>()> makeFile;
    double lowHz;
    double highHz;
    int riseMs;   // where the pitch rises in the file
    int startMs;  // where playback is asked to start
    double toleranceMs;
};

// 440 Hz for two seconds, then 880 Hz for two more.
std::vector<std::int16_t> risingTone()
{
    return toneSamples(kRate, 0.5, {{2.0, 440.0}, {2.0, 880.0}});
}

std::vector<FormatCase> formatCases()
{
    std::vector<FormatCase> cases = {
        // A module seeks to whole rows, 15.6 ms long here.
        {"TrackerModule", "tone.mod", [] { return risingTrackerModule(); }, modPitch(kModLowPeriod),
         modPitch(kModHighPeriod), static_cast<int>(kModPatternSeconds * 1000), 700, 20.0},
    };
#ifdef HAVE_VORBISENC
    cases.push_back({"OggVorbis", "tone.ogg", [] { return oggVorbisFile(kRate, risingTone()); }, 440.0, 880.0, 2000, 1500, 3.0});
#endif
#ifdef HAVE_FLAC
    cases.push_back({"Flac", "tone.flac", [] { return flacFile(kRate, risingTone()); }, 440.0, 880.0, 2000, 1500, 3.0});
#endif
#ifdef HAVE_LAME
    cases.push_back({"Mp3", "tone.mp3", [] { return mp3File(kRate, risingTone()); }, 440.0, 880.0, 2000, 1500, 3.0});
#endif
    return cases;
}

void PrintTo(const FormatCase& format, std::ostream* out)
{
    *out << format.name;
}

} // namespace

class MixerFormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    ScratchFolder scratch;
    std::string output = scratch.path("mix.raw");
    DiskAudio audio{output, kRate};

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setSoundLibrary(nullptr);
    }
    void TearDown() override { closeSound(); }
};

TEST_P(MixerFormatTest, PlaybackStartsAtTheRequestedPosition)
{
    const FormatCase& format = GetParam();
    const std::vector<std::uint8_t> bytes = format.makeFile();
    ASSERT_FALSE(bytes.empty()) << "the encoder made nothing";
    const std::string path = scratch.write(format.fileName, bytes);
    initSound();

    std::size_t start = 0;
    const int expectedRiseMs = format.riseMs - format.startMs;
    {
        MusicStream music(path);
        music.play(format.startMs);
        start = audio.waitForSound(0);
        ASSERT_NE(start, DiskAudio::npos) << "nothing was heard";
        ASSERT_TRUE(audio.waitForFrames(start + audio.ms(expectedRiseMs + 200)));
    }
    closeSound();
    const std::vector<std::int16_t> samples = audio.left();

    const std::size_t rise = pitchRise(samples, start, format.lowHz, format.highHz, kRate);
    ASSERT_NE(rise, DiskAudio::npos) << "the pitch never rose";
    EXPECT_NEAR((static_cast<double>(rise) - static_cast<double>(start)) * 1000.0 / kRate, expectedRiseMs,
                format.toleranceMs);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, MixerFormatTest, ::testing::ValuesIn(formatCases()),
                         [](const ::testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });
