// The encoder's own thread: every queued frame reaches the file, in order, through a queue
// shorter than the run; an unfinished file never stays behind.
#include "tool_error.h"
#include "video/encoding_thread.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class EncodingThreadTest : public ::testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("encthread_" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    VideoSettings lossless(const char* name) const
    {
        VideoSettings settings;
        settings.path = folder / name;
        settings.codec = VideoCodec::ffv1;
        settings.width = kWidth;
        settings.height = kHeight;
        settings.sampleRate = VideoEncoder::soundRateFor(settings.path);
        return settings;
    }
    // Frame k is grey level 10 k, in rows padded past the width (the pitch is not the width).
    static std::vector<std::uint8_t> frame(int k, std::size_t pitch)
    {
        std::vector<std::uint8_t> pixels(pitch * kHeight, 0xEE);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth * 4; ++x) pixels[static_cast<std::size_t>(y) * pitch + x] = std::uint8_t(10 * k);
        return pixels;
    }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
    }
};

TEST_F(EncodingThreadTest, EveryFrameArrivesInOrderThroughAShortQueue)
{
    constexpr int kFrames = 20;
    constexpr std::size_t kPitch = kWidth * 4 + 12;
    const VideoSettings settings = lossless("order.mkv");
    {
        EncodingThread thread(settings, 2);
        // 20 ms of sound a frame at 48 kHz.
        const std::vector<float> sound(960 * 2, 0.25f);
        for (int k = 0; k < kFrames; ++k) thread.addFrame(frame(k, kPitch).data(), kPitch, sound);
        thread.finish();
    }
    ASSERT_TRUE(std::filesystem::exists(settings.path));
#ifdef FFMPEG_PATH
    const std::string command = std::string(FFMPEG_PATH) + " -v error -i '" + settings.path.string() +
                                "' -vsync 0 -f rawvideo -pix_fmt bgr0 -";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::uint8_t> decoded;
    std::uint8_t chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        decoded.insert(decoded.end(), chunk, chunk + got);
    ASSERT_EQ(::pclose(pipe), 0);
    constexpr std::size_t kFrameBytes = kWidth * kHeight * 4;
    ASSERT_EQ(decoded.size(), kFrameBytes * kFrames);
    for (int k = 0; k < kFrames; ++k) {
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < kFrameBytes; i += 4)
            wrong += decoded[k * kFrameBytes + i] != 10 * k || decoded[k * kFrameBytes + i + 2] != 10 * k;
        EXPECT_EQ(wrong, 0u) << "frame " << k;
    }
#endif
}

TEST_F(EncodingThreadTest, UnfinishedFileIsRemovedWhetherDestroyedOrDiscarded)
{
    const std::vector<float> sound(960 * 2, 0.0f);
    {
        EncodingThread thread(lossless("dropped.mkv"), 1);
        for (int k = 0; k < 5; ++k) thread.addFrame(frame(k, kWidth * 4).data(), kWidth * 4, sound);
    }
    EXPECT_EQ(entries(), 0u);
    EncodingThread thread(lossless("discarded.mkv"), 3);
    for (int k = 0; k < 5; ++k) thread.addFrame(frame(k, kWidth * 4).data(), kWidth * 4, sound);
    thread.discard();
    EXPECT_EQ(entries(), 0u);
    EXPECT_THROW(thread.finish(), ToolError) << "a discarded file cannot be put into place";
}

} // namespace
