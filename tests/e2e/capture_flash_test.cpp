// A demo whose Flash movie is only in its container runs through `demotool capture`: the movie
// is written out for the load, played, stopped and freed, the run ends normally and the demo
// folder is left exactly as it was.
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

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<std::string, std::string> folderContents(const fs::path& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) entries[entry.path().filename()] = contents(entry.path());
    return entries;
}

TEST(CaptureFlash, DemoWithAFlashSlotRunsToItsEndAndLeavesTheFolderAsItWas)
{
    const fs::path root = fs::temp_directory_path() / ("capture_flash_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "run");
    std::ofstream(root / "run" / "notes.txt") << "the demo folder's own file\n";
    const std::string script = "loadflash intro.swf movie\nplayflash movie 2 1\nwait 100\nstopflash\n"
                               "freeflash movie\nwait 40\n";
    const ContainerResult container = writeContainer(
        {{"demo.psc", {script.begin(), script.end()}, 0}, {"intro.swf", makeFlashMovie({FlashCompression::Zlib}), 0}},
        0);
    ASSERT_TRUE(container.error.empty()) << container.error;
    std::ofstream(root / "demo.cfl", std::ios::binary)
        .write(reinterpret_cast<const char*>(container.bytes.data()), static_cast<std::streamsize>(container.bytes.size()));
    const auto before = folderContents(root / "run");

    const std::string command = std::string(DEMOTOOL_PATH) + " capture -C " + (root / "run").string() + " --archive " +
                                (root / "demo.cfl").string() + " --every 5 -o " + (root / "out").string() + " 2>" +
                                (root / "log").string();
    const int status = std::system(command.c_str());
    const std::string log = contents(root / "log");
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log;
    // A load error would end the run early with "Error: ..." instead.
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    EXPECT_TRUE(fs::exists(root / "out" / "frame_000005.png")) << log;
    EXPECT_EQ(folderContents(root / "run"), before);
    fs::remove_all(root);
}

} // namespace
