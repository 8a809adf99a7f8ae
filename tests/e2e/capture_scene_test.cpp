// A demo that loads a scene, plays it, switches cameras by name, sets the scene time and frees
// it runs through `demotool capture` to its end with exit code 0.
#include "psk/psk_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

PskNodeRecord node(const std::string& name, std::int32_t parent, const std::string& properties = "")
{
    PskNodeRecord record;
    record.name = name;
    record.parent = parent;
    record.properties = properties;
    return record;
}

struct CaptureRun {
    int status;
    std::string log;
};

class CaptureScene : public ::testing::Test {
protected:
    fs::path root = fs::temp_directory_path() / ("capture_scene_" + std::to_string(::getpid()));

    void SetUp() override
    {
        fs::remove_all(root);
        fs::create_directories(root / "demo");
        // A stage with two cameras, a nested part and tracks on the scene clock.
        write(root / "demo" / "part.psk",
              PskWriter()
                  .chunk(2, 0, PskGroup{node("Part", -1)})
                  .chunk(1, 0, PskTransformTrack{0, {0, 500, 0, 500}, kPskTrackPosition, {{}, {}}})
                  .bytes());
        write(root / "demo" / "stage.psk",
              PskWriter()
                  .chunk(1, 0, PskAmbient{PskColour::fromArgb(0xFF202020u)})
                  .chunk(2, 1, PskGroup{node("Stage", -1, "animations=1\na0.field=VISTRACK\na0.keyframes=2\na0.kf0=0 1\na0.kf1=1000 0")})
                  .chunk(3, 2, PskCamera{node("Front", 1), 0.8f, 1.0f, 500.0f, PskCameraSwitches{{100, 300}, 0, 400}})
                  .chunk(1, 3, PskCamera{node("Back", 1), 0.8f, 0.0f, 500.0f, std::nullopt})
                  .chunk(2, 4, PskGroup{node("Holder", 1, "loader=1\nfilename=part.psk\nanimoffset=100\nanimscale=2")})
                  .chunk(1, 0, PskFloatTrack{1, "VISTRACK", {0, 1000, 0, 1000}, {1.0f, 0.0f}})
                  .bytes());
    }
    void TearDown() override { fs::remove_all(root); }

    CaptureRun capture(const std::string& script)
    {
        std::ofstream(root / "demo" / "demo.psc") << script;
        const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + (root / "demo").string() +
                                    " --every 5 -o " + (root / "out").string() + " 2>" + (root / "log").string();
        const int status = std::system(command.c_str());
        return {status, contents(root / "log")};
    }
};

TEST_F(CaptureScene, LoadPlaySwitchSetTimeAndFreeRunToTheEnd)
{
    const CaptureRun run = capture("loadscene stage.psk stage\nplayscene stage\nwait 100\nsetactivecamera Back\n"
                            "setscenetime 0\nwait 200\nsetactivecamera Front\nwait 100\nstopscene\n"
                            "playscene stage\nwait 100\nfreescene stage\nwait 60\n");
    EXPECT_TRUE(WIFEXITED(run.status) && WEXITSTATUS(run.status) == 0) << run.log;
    EXPECT_EQ(run.log.find("Error"), std::string::npos) << run.log;
    EXPECT_TRUE(fs::exists(root / "out" / "frame_000025.png")) << run.log;
}

} // namespace
