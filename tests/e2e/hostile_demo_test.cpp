// Hostile demos through `demotool capture`, the player's code path without a screen: a folder
// or a named pipe where the script or a picture should be, music whose header would make the
// decoder divide by zero, a container whose script declares 4 GiB, a directory of millions of
// records, and a link planted where a frame is written. Each run must end by itself (no
// hang), exactly as it would for a missing or unreadable file, without a crash and with its
// resident memory far below 1 GiB.
#include "archive/container_writer.h"
#include "archive/little_endian.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include "support/zeros_stream.h"

#include <zlib.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int exitCode = -1; // -1: killed after the time limit; 128 + n: ended by signal n
    long peakKiB = 0;
    std::string err;
};

// Runs demotool with the arguments and a time limit, its standard error kept.
ToolRun demotool(const std::vector<std::string>& args, const fs::path& errFile, int seconds = 120)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(err, 2);
        std::vector<char*> argv{const_cast<char*>(DEMOTOOL_PATH)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(DEMOTOOL_PATH, argv.data());
        ::_exit(127);
    }
    ToolRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            status = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (status != -1)
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKiB = usage.ru_maxrss;
    std::ifstream in(errFile);
    run.err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return run;
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

void writeText(const fs::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The sample demo's music with its channel count set to 0.
std::vector<std::uint8_t> silentChannelsWav()
{
    std::ifstream in(std::string(DEMO_SOURCE_ROOT) + "/tests/demos/layers/theme.wav", std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() > 24)
        bytes[22] = bytes[23] = 0;
    return bytes;
}

constexpr long kMemoryCeilingKiB = 512 * 1024;

class HostileDemoTest : public ::testing::Test {
protected:
    fs::path root;

    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("hostile_demo_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    // A demo folder whose demo.psc is `script`.
    fs::path demo(const std::string& name, const std::string& script)
    {
        const fs::path folder = root / name;
        fs::create_directories(folder);
        if (!script.empty())
            writeText(folder / "demo.psc", script);
        return folder;
    }

    ToolRun capture(const fs::path& folder, std::vector<std::string> extra = {})
    {
        std::vector<std::string> args = {"capture", "-C", folder.string(), "--fps", "10", "--to", "300", "-o",
                                         (folder / "frames").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        ToolRun run = demotool(args, folder.string() + ".err");
        // Messages name the demo's folder; outcomes are compared without it.
        for (std::size_t at; (at = run.err.find(folder.string())) != std::string::npos;)
            run.err.replace(at, folder.string().size(), "DIR");
        return run;
    }

    static void expectSameOutcome(const ToolRun& hostile, const ToolRun& plain, const char* what)
    {
        EXPECT_NE(hostile.exitCode, -1) << what << ": still running after the time limit";
        EXPECT_EQ(hostile.exitCode, plain.exitCode) << what << "\n" << hostile.err;
        EXPECT_EQ(hostile.err, plain.err) << what;
        EXPECT_LT(hostile.peakKiB, kMemoryCeilingKiB) << what;
    }
};

} // namespace

TEST_F(HostileDemoTest, FoldersAndPipesReadAsMissingFiles)
{
    const ToolRun noScript = capture(demo("absent", ""));
    EXPECT_EQ(noScript.exitCode, 0) << noScript.err;

    const fs::path folderScript = demo("folder_script", "");
    fs::create_directory(folderScript / "demo.psc");
    const fs::path pipeScript = demo("pipe_script", "");
    ASSERT_EQ(::mkfifo((pipeScript / "demo.psc").c_str(), 0600), 0);
    // A pipe with a writer that never writes would block a blocking open forever as well.
    expectSameOutcome(capture(folderScript), noScript, "demo.psc is a folder");
    expectSameOutcome(capture(pipeScript), noScript, "demo.psc is a named pipe");

    const std::string pictureScript = "loadimage pic.png pic\nsetlayer pic 0\nwait 100\n";
    const ToolRun noPicture = capture(demo("absent_picture", pictureScript));
    const fs::path folderPicture = demo("folder_picture", pictureScript);
    fs::create_directory(folderPicture / "pic.png");
    const fs::path pipePicture = demo("pipe_picture", pictureScript);
    ASSERT_EQ(::mkfifo((pipePicture / "pic.png").c_str(), 0600), 0);
    expectSameOutcome(capture(folderPicture), noPicture, "a picture that is a folder");
    expectSameOutcome(capture(pipePicture), noPicture, "a picture that is a named pipe");

    const std::string includeScript = "include part.psc 0\nwait 100\n";
    const fs::path folderInclude = demo("folder_include", includeScript);
    fs::create_directory(folderInclude / "part.psc");
    expectSameOutcome(capture(folderInclude), capture(demo("absent_include", includeScript)),
                      "an included script that is a folder");
}

TEST_F(HostileDemoTest, MusicWithNoChannelsFailsLikeMusicThatIsNotMusic)
{
    const std::string script = "loadmusic theme.wav theme\nplaymusic theme 0\nwait 300\n";
    const fs::path garbage = demo("garbage_music", script);
    writeText(garbage / "theme.wav", std::string(4000, 'x'));
    const fs::path silent = demo("no_channels", script);
    writeBytes(silent / "theme.wav", silentChannelsWav());
    const ToolRun plain = capture(garbage);
    EXPECT_NE(plain.exitCode, 136);
    expectSameOutcome(capture(silent), plain, "a WAV file with 0 channels");
}

TEST_F(HostileDemoTest, ContainerBombsAreRefusedWithoutTheMemory)
{
    // A script declaring 0xFFFFFFFF bytes beside 4.2 MB of filler, enough for 1032:1 to allow it.
    std::mt19937 random(5);
    std::vector<std::uint8_t> filler(4200 * 1000);
    for (auto& byte : filler)
        byte = static_cast<std::uint8_t>(random());
    ContainerResult box = writeContainer({{"demo.psc", {'w', 'a', 'i', 't', ' ', '1', '\n'}, 0}, {"filler", filler, 0}}, 0);
    ASSERT_EQ(box.error, "");
    const std::size_t record = loadU32LE(box.bytes.data() + 4) + 8;
    storeU32LE(box.bytes.data() + record, 0xFFFFFFFF);
    const fs::path folder = demo("declared_4g", "");
    writeBytes(root / "declared_4g.cfl", box.bytes);
    const ToolRun huge = capture(folder, {"--archive", (root / "declared_4g.cfl").string()});
    EXPECT_EQ(huge.exitCode, 0) << huge.err;
    EXPECT_LT(huge.peakKiB, kMemoryCeilingKiB);

    // 19 million empty records: 266 MB of zero bytes, some 260 KB deflated.
    const std::size_t records = 19'000'000;
    std::vector<std::uint8_t> packed;
    appendU32LE(packed, static_cast<std::uint32_t>(records * 14));
    const std::vector<std::uint8_t> stream = zerosStream(records * 14);
    packed.insert(packed.end(), stream.begin(), stream.end());
    std::vector<std::uint8_t> bomb = {'C', 'F', 'L', '3'};
    appendU32LE(bomb, 12);
    appendU32LE(bomb, static_cast<std::uint32_t>(records * 14));
    appendU32LE(bomb, 1);
    appendU32LE(bomb, static_cast<std::uint32_t>(packed.size()));
    bomb.insert(bomb.end(), packed.begin(), packed.end());
    writeBytes(root / "records.cfl", bomb);
    const ToolRun directory = capture(demo("records", "wait 1\n"), {"--archive", (root / "records.cfl").string()});
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_NE(directory.err.find("holds no container"), std::string::npos) << directory.err;
    EXPECT_LT(directory.peakKiB, kMemoryCeilingKiB);
}

TEST_F(HostileDemoTest, AFrameNeverGoesThroughALinkPlantedInTheOutputFolder)
{
    const fs::path folder = demo("planted", "createcolor 255 0 0 red\nsetlayer red 0\nwait 300\n");
    writeText(root / "victim", "keep");
    fs::create_directories(folder / "frames");
    fs::create_symlink(root / "victim", folder / "frames/frame_000000.png");
    fs::create_symlink(root / "victim", folder / "frames/frame_000001.png.partial");
    const ToolRun run = capture(folder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::ifstream victim(root / "victim");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), std::istreambuf_iterator<char>()), "keep");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "frames/frame_000000.png")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "frames/frame_000001.png")));
}
