// Small parts of capture: frame-rate ratios, the progress line, and the temporary file a
// video is written under.
#include "capture/progress_bar.h"
#include "file_io.h"
#include "tool_error.h"
#include "video/frame_rate_ratio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TEST(FrameRateRatio, ExactRatiosForEveryWayOfWritingARate)
{
    struct Case {
        const char* text;
        int numerator;  // 0: refused
        int denominator;
    };
    const Case cases[] = {
        {"50", 50, 1},          {"60000/1001", 60000, 1001}, {"59.94", 2997, 50}, {"30000/1000", 30, 1},
        {"23.976", 2997, 125},  {"1000", 1000, 1},           {"0.5", 1, 2},
        {"1001", 0, 0},         {"0", 0, 0},                 {"-50", 0, 0},      {"50/0", 0, 0},
        {"", 0, 0},             {"abc", 0, 0},               {"5/2/1", 0, 0},    {"1.2.3", 0, 0},
        {"99999999999999999999", 0, 0},
    };
    for (const Case& c : cases) {
        const auto ratio = parseFrameRateRatio(c.text);
        if (c.numerator == 0) {
            EXPECT_FALSE(ratio) << c.text;
        } else {
            ASSERT_TRUE(ratio) << c.text;
            EXPECT_EQ(ratio->numerator, c.numerator) << c.text;
            EXPECT_EQ(ratio->denominator, c.denominator) << c.text;
        }
    }
}

TEST(ProgressBar, LineShowsFramesRateAndTimeLeft)
{
    EXPECT_EQ(ProgressBar::line(100, 400, 4.0), "[#######.......................] 100/400 frames  25.0 fps  0:12 left");
    EXPECT_EQ(ProgressBar::line(500, 400, 10.0).substr(0, 47), "[##############################] 400/400 frames");
    EXPECT_EQ(ProgressBar::line(30, std::nullopt, 2.0), "30 frames  15.0 fps");
    EXPECT_EQ(ProgressBar::line(0, 10, 0.0), "[..............................] 0/10 frames  0.0 fps  0:00 left");
}

class TemporaryFileTest : public ::testing::Test {
protected:
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tmpfile_" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
    }
};

TEST_F(TemporaryFileTest, PublishedUnderItsNameOrRemoved)
{
    {
        TemporaryFile file(folder / "out.mp4");
        ASSERT_EQ(::write(file.fd(), "video", 5), 5);
        EXPECT_TRUE(std::filesystem::exists(file.temporaryPath()));
        EXPECT_FALSE(std::filesystem::exists(folder / "out.mp4"));
        file.publish();
    }
    std::ifstream in(folder / "out.mp4");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "video");
    EXPECT_EQ(entries(), 1u);
    {
        TemporaryFile abandoned(folder / "other.mkv");
        ASSERT_EQ(::write(abandoned.fd(), "x", 1), 1);
    }
    EXPECT_EQ(entries(), 1u) << "an unpublished temporary is removed";
    TemporaryFile twice(folder / "twice.mkv");
    twice.publish();
    EXPECT_THROW(twice.publish(), ToolError);
}

TEST_F(TemporaryFileTest, NeverWritesThroughAPlantedLink)
{
    const auto target = folder / "elsewhere";
    { std::ofstream(target) << "keep"; }
    std::filesystem::create_symlink(target, folder / "out.mp4");
    TemporaryFile file(folder / "out.mp4");
    ASSERT_EQ(::write(file.fd(), "new", 3), 3);
    file.publish();
    std::ifstream kept(target);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(folder / "out.mp4"));
}

} // namespace
