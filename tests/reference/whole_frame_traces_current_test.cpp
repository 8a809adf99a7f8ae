// The committed whole-frame traces are what the player draws today: the test demo is written
// again, captured with `demotool capture --trace` at the same frames, and every trace must
// equal its committed copy. When the drawing changes on purpose, scripts/make-reference-images
// writes new traces and renders new images on Direct3D 9.
#include "reference/whole_frame_demo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(WholeFrameTraces, MatchWhatTheCaptureWritesToday)
{
    const fs::path work = fs::temp_directory_path() / ("whole_frame_traces_" + std::to_string(::getpid()));
    fs::remove_all(work);
    writeWholeFrameDemo(work / "demo");
    std::string times;
    for (const WholeFrame& frame : kWholeFrames) times += (times.empty() ? "" : ",") + std::to_string(frame.frame * 20);
    const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + (work / "demo").string() + " --at " +
                                times + " -o " + (work / "png").string() + " --trace " + (work / "traces").string() +
                                " 2>" + (work / "capture.log").string();
    ASSERT_EQ(std::system(command.c_str()), 0) << readText(work / "capture.log");
    for (const WholeFrame& frame : kWholeFrames) {
        char file[32];
        std::snprintf(file, sizeof file, "frame_%06d.trace", frame.frame);
        const std::string written = readText(work / "traces" / file);
        ASSERT_FALSE(written.empty()) << file;
        EXPECT_TRUE(written == readText(std::string(REFERENCE_FOLDER) + frame.name + ".trace"))
            << frame.name << ".trace differs from what the capture writes now; run scripts/make-reference-images";
    }
    fs::remove_all(work);
}

} // namespace
