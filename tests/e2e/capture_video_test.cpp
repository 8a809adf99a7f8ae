// demotool capture to a video, checked with FFmpeg's own command-line tools: a lossless FFV1
// capture holds exactly the PNG capture's pixels, an H.264 capture has the stated streams and
// length, a tone sweep's soundtrack follows the script's seek and volumes to the sample, and
// a demo that ends in a fatal error leaves no file behind.
#include "platform/d3dx/picture_decoder.h"
#include "platform/sound/mixer_volume.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const std::string kLayers = std::string(DEMO_SOURCE_ROOT) + "/tests/demos/layers";

std::vector<char> readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a shell command; its standard output as text, the exit status in status.
std::string run(const std::string& command, int& status)
{
    const fs::path out = fs::temp_directory_path() / ("video_cmd_" + std::to_string(::getpid()));
    status = std::system((command + " >" + out.string() + " 2>&1").c_str());
    const auto bytes = readAll(out);
    fs::remove(out);
    return {bytes.begin(), bytes.end()};
}

std::string capture(const std::string& arguments, int& status)
{
    return run(std::string(DEMOTOOL_PATH) + " capture " + arguments, status);
}

class CaptureVideoTest : public ::testing::Test {
protected:
    fs::path folder = fs::temp_directory_path() / ("capture_video_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(folder); }
    void TearDown() override { fs::remove_all(folder); }

    // "key=value" lines of ffprobe for one stream kind ("v" or "a").
    std::string probe(const fs::path& file, const char* stream)
    {
        int status = 0;
        const std::string text = run(std::string(FFPROBE_PATH) + " -v error -select_streams " + stream +
                                         " -show_entries stream=codec_name,width,height,pix_fmt,r_frame_rate,"
                                         "duration,nb_frames -of default=noprint_wrappers=1 " + file.string(),
                                     status);
        EXPECT_EQ(status, 0) << text;
        return text;
    }
    static double field(const std::string& probed, const std::string& key)
    {
        const std::size_t at = probed.find(key + "=");
        if (at == std::string::npos) return -1;
        return std::atof(probed.c_str() + at + key.size() + 1);
    }
    static bool has(const std::string& probed, const std::string& line)
    {
        return probed.find(line + "\n") != std::string::npos;
    }
};

TEST_F(CaptureVideoTest, LosslessFramesEqualThePngFramesExactly)
{
    int status = 0;
    const std::string log = capture("-C " + kLayers + " --codec ffv1 -o " + (folder / "demo.mkv").string(), status);
    ASSERT_EQ(status, 0) << log;
    const std::string pngLog = capture("-C " + kLayers + " --at 0,1020,1200,2000,2980 -o " + (folder / "png").string(), status);
    ASSERT_EQ(status, 0) << pngLog;

    const int frames[] = {0, 51, 60, 100, 149};
    std::string select;
    for (int k : frames) select += std::string(select.empty() ? "" : "+") + "eq(n\\," + std::to_string(k) + ")";
    const fs::path raw = folder / "frames.rgb";
    const std::string decode = std::string(FFMPEG_PATH) + " -v error -i " + (folder / "demo.mkv").string() +
                               " -vf \"select='" + select + "'\" -vsync 0 -f rawvideo -pix_fmt rgb24 " + raw.string();
    run(decode, status);
    ASSERT_EQ(status, 0) << decode;
    const auto decoded = readAll(raw);
    constexpr std::size_t kFrameBytes = 800 * 600 * 3;
    ASSERT_EQ(decoded.size(), kFrameBytes * std::size(frames));

    for (std::size_t i = 0; i < std::size(frames); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", frames[i]);
        const auto png = readAll(folder / "png" / name);
        const auto picture = decodePicture(png.data(), png.size());
        ASSERT_TRUE(picture) << name;
        ASSERT_EQ(picture->header.width, 800u);
        std::size_t differing = 0;
        for (std::size_t p = 0; p < 800 * 600; ++p) {
            for (int c = 0; c < 3; ++c) {
                const auto fromVideo = static_cast<std::uint8_t>(decoded[i * kFrameBytes + p * 3 + c]);
                if (fromVideo != picture->rgba.get()[p * 4 + c]) ++differing;
            }
        }
        EXPECT_EQ(differing, 0u) << "frame " << frames[i];
    }
}

TEST_F(CaptureVideoTest, H264FileHasBothStreamsOfTheDemosLength)
{
    int status = 0;
    const fs::path file = folder / "demo.mp4";
    // A relative output is relative to where capture starts, not to the demo's folder.
    const std::string log = run("cd " + folder.string() + " && " + DEMOTOOL_PATH + " capture -C " + kLayers + " -o demo.mp4", status);
    ASSERT_EQ(status, 0) << log;
    const std::string video = probe(file, "v");
    EXPECT_TRUE(has(video, "codec_name=h264")) << video;
    EXPECT_TRUE(has(video, "width=800")) << video;
    EXPECT_TRUE(has(video, "height=600")) << video;
    EXPECT_TRUE(has(video, "pix_fmt=yuv420p")) << video;
    EXPECT_TRUE(has(video, "r_frame_rate=50/1")) << video;
    const std::string audio = probe(file, "a");
    EXPECT_TRUE(has(audio, "codec_name=aac")) << audio;
    // The script ends at the first frame after 3000 ms, frame 151, which is not drawn.
    EXPECT_NEAR(field(video, "duration"), 3.02, 0.02) << video;
    EXPECT_NEAR(field(audio, "duration"), 3.02, 0.02) << audio;
    // Nothing else is left in the folder: the temporary was renamed.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);
}

TEST_F(CaptureVideoTest, FractionalRateIsStatedExactly)
{
    int status = 0;
    const fs::path file = folder / "ntsc.mp4";
    const std::string log = capture("-C " + kLayers + " --fps 60000/1001 --to 1000 -o " + file.string(), status);
    ASSERT_EQ(status, 0) << log;
    const std::string video = probe(file, "v");
    EXPECT_TRUE(has(video, "r_frame_rate=60000/1001")) << video;
    // Frames at 0 .. 1000 ms: 60 of them (frame 60 is at 1001 ms).
    int frames = 0;
    const std::string count = run(std::string(FFPROBE_PATH) + " -v error -count_frames -select_streams v "
                                      "-show_entries stream=nb_read_frames -of csv=p=0 " + file.string(), status);
    frames = std::atoi(count.c_str());
    EXPECT_EQ(frames, 60) << count;
}

TEST_F(CaptureVideoTest, FatalErrorOfTheDemoLeavesNoFileBehind)
{
    const fs::path demo = folder / "broken";
    fs::create_directories(demo);
    std::ofstream(demo / "demo.psc") << "createcolor 0 0 0 black\nsetlayer black 0\nwaituntil 500\nloadimage missing.png x\n";
    int status = 0;
    const std::string log = capture("-C " + demo.string() + " -o " + (folder / "out.mp4").string(), status);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
    EXPECT_NE(log.find("missing.png"), std::string::npos) << log;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "only the demo folder remains";
}

TEST_F(CaptureVideoTest, InterruptFinishesAValidShorterFile)
{
    // Ten minutes of demo: far more than the capture gets to before the interrupt.
    const fs::path demo = folder / "long";
    fs::create_directories(demo);
    std::ofstream(demo / "demo.psc") << "createcolor 0 0 200 blue\nsetlayer blue 0\nwaituntil 600000\n";
    const fs::path file = folder / "short.mp4";
    const std::string demoArgument = demo.string();
    const std::string fileArgument = file.string();
    const char* arguments[] = {DEMOTOOL_PATH, "capture", "-C", demoArgument.c_str(), "-o", fileArgument.c_str(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, DEMOTOOL_PATH, nullptr, nullptr, const_cast<char**>(arguments), environ), 0);
    // Interrupt once the capture has written part of its temporary (or ended, on failure).
    bool writing = false;
    for (int i = 0; i < 600 && !writing; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().starts_with(".short.mp4.tmp") && entry.file_size() > 0) writing = true;
        if (::waitpid(pid, nullptr, WNOHANG) == pid) FAIL() << "capture ended before the interrupt";
    }
    ASSERT_TRUE(writing);
    ::kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string video = probe(file, "v");
    EXPECT_TRUE(has(video, "codec_name=h264")) << video;
    const double seconds = field(video, "duration");
    EXPECT_GT(seconds, 0.0) << video;
    EXPECT_LT(seconds, 600.0) << video;
    EXPECT_NEAR(field(probe(file, "a"), "duration"), seconds, 0.03);
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".short.mp4.tmp")) << "temporary left behind";
}

// A tone sweep from 200 Hz to 4 kHz repeated every 100 ms: so steep that 20 ms of it match
// one position within the 50 ms either side only, where a slow sweep would also match itself
// a few periods away.
constexpr int kRate = 44100;
double sweepAt(double seconds)
{
    const double t = std::fmod(seconds, 0.1);
    return 0.5 * std::sin(2 * std::numbers::pi * (200 * t + 19000 * t * t));
}

std::vector<std::uint8_t> sweepWav(double seconds)
{
    const auto count = static_cast<std::uint32_t>(seconds * kRate);
    std::vector<std::uint8_t> file;
    auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) file.push_back(static_cast<std::uint8_t>(v >> (8 * i))); };
    auto put16 = [&](std::uint16_t v) { file.push_back(v & 0xFF); file.push_back(static_cast<std::uint8_t>(v >> 8)); };
    auto text = [&](const char* t) { file.insert(file.end(), t, t + 4); };
    text("RIFF"); put32(36 + count * 2); text("WAVE");
    text("fmt "); put32(16); put16(1); put16(1); put32(kRate); put32(kRate * 2); put16(2); put16(16);
    text("data"); put32(count * 2);
    for (std::uint32_t n = 0; n < count; ++n)
        put16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(sweepAt(double(n) / kRate) * 32767))));
    return file;
}

class CaptureSoundTest : public CaptureVideoTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CaptureSoundTest, SoundFollowsTheSeekAndVolumesToTheSample)
{
    const fs::path demo = folder / "sweep";
    fs::create_directories(demo);
    const auto wav = sweepWav(10.0);
    std::ofstream(demo / "sweep.wav", std::ios::binary).write(reinterpret_cast<const char*>(wav.data()),
                                                              static_cast<std::streamsize>(wav.size()));
    // Starts at the first frame after 200 ms (220 ms), from 5 s into the file; 180 after 1 s,
    // 60 after 2 s.
    std::ofstream(demo / "demo.psc") << "createcolor 0 0 0 black\nsetlayer black 0\nloadmusic sweep.wav s\n"
                                        "waituntil 200\nplaymusic s 5000\nwaituntil 1000\nsetvolume 180\n"
                                        "waituntil 2000\nsetvolume 60\nwaituntil 3000\n";
    int status = 0;
    const fs::path file = folder / (std::string("sweep.") + GetParam());
    const std::string log = capture("-C " + demo.string() + " -o " + file.string(), status);
    ASSERT_EQ(status, 0) << log;
    const fs::path raw = folder / "sound.f32";
    run(std::string(FFMPEG_PATH) + " -v error -i " + file.string() + " -map 0:a -f f32le -ac 2 -ar 44100 " +
            raw.string(), status);
    ASSERT_EQ(status, 0);
    const auto bytes = readAll(raw);
    std::vector<float> sound(bytes.size() / sizeof(float));
    std::memcpy(sound.data(), bytes.data(), sound.size() * sizeof(float));

    struct Check {
        double atMs;
        int volume;
    };
    const Check checks[] = {{600, 255}, {1500, 180}, {2500, 60}};
    constexpr int kWindow = 882;  // 20 ms
    constexpr int kSearch = 441;  // 10 ms either side
    for (const Check& c : checks) {
        const auto at = static_cast<std::size_t>(std::lround(c.atMs * kRate / 1000));
        ASSERT_LT((at + kWindow) * 2, sound.size());
        // Where the script says the music is: 5000 ms + (t - 220 ms).
        const double expectedSeconds = (5000 + c.atMs - 220) / 1000.0;
        int bestLag = 0;
        double best = -1e9;
        for (int lag = -kSearch; lag <= kSearch; ++lag) {
            double dot = 0;
            for (int i = 0; i < kWindow; ++i)
                dot += sound[(at + i) * 2] * sweepAt(expectedSeconds + double(i + lag) / kRate);
            if (dot > best) best = dot, bestLag = lag;
        }
        EXPECT_LE(std::abs(bestLag), 44) << "at " << c.atMs << " ms the music is " << bestLag << " samples off";
        double heard = 0, file = 0;
        for (int i = 0; i < kWindow; ++i) {
            heard += sound[(at + i) * 2] * sound[(at + i) * 2];
            const double s = sweepAt(expectedSeconds + double(i + bestLag) / kRate);
            file += s * s;
        }
        const double gain = mixerVolume(c.volume) / 128.0;
        EXPECT_NEAR(std::sqrt(heard / file), gain, 0.05 * gain + 0.01) << "volume at " << c.atMs << " ms";
    }
}

// AAC in MP4, Opus in Matroska: each container states its codec's delay.
INSTANTIATE_TEST_SUITE_P(Containers, CaptureSoundTest, ::testing::Values("mp4", "mkv"));

} // namespace
