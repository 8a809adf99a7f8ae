// The packed sample demo, played from its build folder under demotool capture from the first
// frame to its end: it must finish by itself with exit code 0, and the frames chosen in each
// section must show a picture (not one flat colour) that differs from section to section.
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// One frame in the intro, the citadel, the sea and the outro; 50 frames a second.
constexpr int kFrames[] = {500, 1150, 3000, 3800};

TEST(CaptureSample, PlaysToItsEndAndEverySectionShowsAPicture)
{
    const fs::path output = fs::temp_directory_path() / ("capture_sample_" + std::to_string(::getpid()));
    fs::remove_all(output);
    const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + SAMPLE_DIR +
                                " --archive " + SAMPLE_DIR + "/sample.cfl --at 10000,23000,60000,76000 -o " + output.string() +
                                " > " + output.string() + ".log 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    std::vector<double> means;
    for (int k : kFrames) {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06d.png", k);
        std::ifstream in(output / name, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto picture = decodePicture(bytes.data(), bytes.size());
        ASSERT_TRUE(picture.has_value()) << name;
        ASSERT_EQ(picture->header.width, 800u);
        ASSERT_EQ(picture->header.height, 600u);
        double sum = 0, squares = 0;
        const std::size_t pixels = 800u * 600u;
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint8_t* p = picture->rgba.get() + i * 4;
            const double grey = (p[0] + p[1] + p[2]) / 3.0;
            sum += grey;
            squares += grey * grey;
        }
        const double mean = sum / pixels, spread = std::sqrt(squares / pixels - mean * mean);
        EXPECT_GT(spread, 8.0) << name << " is nearly one flat colour";
        means.push_back(mean);
    }
    for (std::size_t a = 0; a < means.size(); ++a)
        for (std::size_t b = a + 1; b < means.size(); ++b)
            EXPECT_GT(std::fabs(means[a] - means[b]), 1.0) << "frames " << kFrames[a] << " and " << kFrames[b];
    fs::remove_all(output);
    fs::remove(output.string() + ".log");
}

} // namespace
