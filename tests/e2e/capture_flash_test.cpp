// A demo whose Flash movie is only in its container runs through `demotool capture`: the movie
// is written out for the load, played, stopped and freed, the run ends normally and the demo
// folder is left exactly as it was. A link planted under the movie's name stops the run with
// the load error instead of being written through.
#include "archive/container_writer.h"
#include "flash_movie_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CaptureFlashTest : public ::testing::Test {
protected:
    CaptureFlashTest()
    {
        root = fs::temp_directory_path() / ("capture_flash_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "run");
        std::ofstream(root / "run" / "notes.txt") << "the demo folder's own file\n";
    }
    ~CaptureFlashTest() override { fs::remove_all(root); }

    void packDemo()
    {
        TestMovie movie;
        movie.compression = FlashCompression::Zlib;
        movie.frameCount = 90;
        const std::string script = "loadflash intro.swf movie\nplayflash movie 2 1\nwait 100\nstopflash\n"
                                   "freeflash movie\nwait 40\n";
        const ContainerResult container =
            writeContainer({{"demo.psc", {script.begin(), script.end()}, 0}, {"intro.swf", makeFlashMovie(movie), 0}}, 0);
        ASSERT_TRUE(container.error.empty()) << container.error;
        std::ofstream(root / "demo.cfl", std::ios::binary)
            .write(reinterpret_cast<const char*>(container.bytes.data()),
                   static_cast<std::streamsize>(container.bytes.size()));
    }

    // Exit code of the capture run; its standard error goes to `log`.
    int capture()
    {
        const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + (root / "run").string() +
                                    " --archive " + (root / "demo.cfl").string() + " --every 5 -o " +
                                    (root / "out").string() + " 2>" + (root / "log").string();
        const int status = std::system(command.c_str());
        std::ifstream in(root / "log");
        log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Every entry of the demo folder with its kind and contents.
    std::map<std::string, std::string> runFolder() const
    {
        std::map<std::string, std::string> entries;
        for (const auto& entry : fs::directory_iterator(root / "run")) {
            const fs::path& p = entry.path();
            if (fs::is_symlink(fs::symlink_status(p))) {
                entries[p.filename().string()] = "link to " + fs::read_symlink(p).string();
            } else {
                std::ifstream in(p, std::ios::binary);
                entries[p.filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
            }
        }
        return entries;
    }

    fs::path root;
    std::string log;
};

TEST_F(CaptureFlashTest, DemoWithAFlashSlotRunsToItsEndAndLeavesTheFolderAsItWas)
{
    packDemo();
    const auto before = runFolder();
    EXPECT_EQ(capture(), 0) << log;
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    // 140 ms of script at 50 fps, every fifth frame written.
    EXPECT_NE(log.find("frame(s) written"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(root / "out" / "frame_000005.png")) << log;
    EXPECT_EQ(runFolder(), before);
}

TEST_F(CaptureFlashTest, LinkPlantedUnderTheMovieNameIsNotWrittenThrough)
{
    packDemo();
    fs::create_symlink(root / "elsewhere.swf", root / "run" / "intro.swf");
    const auto before = runFolder();
    EXPECT_EQ(capture(), 0);
    EXPECT_NE(log.find("Error: Couldn't load 2d content!"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(root / "elsewhere.swf"));
    EXPECT_EQ(runFolder(), before);
}

} // namespace
