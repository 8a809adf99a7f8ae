// The Flash player on the recording device: where the movie comes from and what is left on
// the disk, the path the control is given, texture, quad and the control's configuration
// order, the two setters, destruction and the load failures.
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "content2d/flash_player.h"
#include "content2d/flash_player_path.h"
#include "flash_movie_fixtures.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/tracing_device.h"
#include "platform/flash/flash_hosting.h"
#include "platform/shell/scripted_shell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

std::vector<std::uint8_t> movieOf(std::uint16_t frames, FlashCompression compression = FlashCompression::None)
{
    return makeFlashMovie({compression, 10, {0, 16000, 0, 12000}, 25 << 8, frames});
}

class FlashPlayerTest : public ::testing::Test {
protected:
    FlashPlayerTest() : previous_(fs::current_path())
    {
        folder = fs::temp_directory_path() / ("flash_player_" + std::to_string(::getpid()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "run");
        fs::current_path(folder / "run");
        setShell(&fakeShell);
        setTheArchive(nullptr);
        startFlashHosting();
    }
    ~FlashPlayerTest() override
    {
        endFlashHosting();
        setTheArchive(nullptr);
        setShell(nullptr);
        device->Release();
        fs::current_path(previous_);
        fs::remove_all(folder);
    }

    static void put(const fs::path& path, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // An archive (kept outside the run folder) holding the given entries.
    void useArchive(const std::vector<ContainerEntry>& entries)
    {
        const ContainerResult container = writeContainer(entries, 0);
        ASSERT_TRUE(container.error.empty()) << container.error;
        put(folder / "demo.cfl", container.bytes);
        ASSERT_TRUE(archive.open((folder / "demo.cfl").string()));
        setTheArchive(&archive);
    }
    std::set<std::string> runFolder() const
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder / "run")) names.insert(entry.path().filename().string());
        return names;
    }
    std::string run() const { return (folder / "run").string(); }

    fs::path previous_;
    fs::path folder;
    ScriptedShell fakeShell;
    ResourceArchive archive;
    RecordingDevice* device = new RecordingDevice(kWidth, kHeight, D3DFMT_X8R8G8B8);
};

TEST_F(FlashPlayerTest, MovieFromTheDiskInPlaceOrFromTheArchiveAndNothingLeftBehind)
{
    const std::vector<std::uint8_t> cut = movieOf(50, FlashCompression::Zlib);
    const std::string longName = std::string(200, 'a') + ".swf"; // beyond any 256-byte path buffer
    put("disk.swf", movieOf(120, FlashCompression::Zlib));
    useArchive({{"disk.swf", movieOf(7), 0},
                {"archived.swf", movieOf(345, FlashCompression::Lzma), 0},
                {"cut.swf", {cut.begin(), cut.begin() + 12}, 0},
                {longName, movieOf(3), 0}});
    const std::set<std::string> before = runFolder();
    const auto modified = fs::last_write_time("disk.swf");
    // The frame count of an archived movie can only come from its copy on the disk.
    const struct {
        std::string name;
        int frames;
    } cases[] = {{"disk.swf", 120}, {"archived.swf", 345}, {"cut.swf", 0}, {longName, 3}};
    for (const auto& c : cases) {
        {
            FlashPlayer player(device, kWidth, kHeight, c.name);
            EXPECT_EQ(player.totalFrames(), c.frames) << c.name;
            EXPECT_EQ(player.control().movie(), run() + "/" + c.name);
        }
        EXPECT_EQ(runFolder(), before) << c.name;
    }
    EXPECT_EQ(fs::last_write_time("disk.swf"), modified);
}

TEST_F(FlashPlayerTest, FullPathForTheControl)
{
    const std::string longName(300, 'm'); // longer than any 256-character buffer
    const struct {
        std::string name, directory, path;
    } cases[] = {
        {"C:\\movies\\intro.swf", "/work", "C:\\movies\\intro.swf"},
        {"d:intro.swf", "/work", "d:intro.swf"},
        {"intro.swf", "/work", "/work/intro.swf"},
        {"intro.swf", "/work/", "/work/intro.swf"},
        {"intro.swf", "C:\\demo\\", "C:\\demo\\intro.swf"},
        {"movies/intro.swf", "/", "/movies/intro.swf"},
        {"/abs/intro.swf", "/work", "/abs/intro.swf"},
        {longName, "/work", "/work/" + longName},
        {"x", "", "/x"},
    };
    for (const auto& c : cases) EXPECT_EQ(flashMoviePath(c.name, c.directory), c.path) << c.name;
}

// A device whose textures come out bigger than asked, as on a powers-of-two-only card.
class PaddingDevice : public TracingDevice {
public:
    using TracingDevice::TracingDevice;
    UINT askedWidth = 0, askedHeight = 0;
    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t,
                          HANDLE* s) override
    {
        askedWidth = w;
        askedHeight = h;
        return inner()->CreateTexture(1024, 1024, l, u, f, p, t, s);
    }
};

TEST_F(FlashPlayerTest, ConstructionPreparesBuffersTextureQuadAndConfiguresTheControlInOrder)
{
    put("intro.swf", movieOf(10));
    PaddingDevice padding(device);
    const std::size_t memoryBefore = device->memoryInUse();
    auto player = std::make_unique<FlashPlayer>(&padding, kWidth, kHeight, "intro.swf");
    EXPECT_EQ(player->pixelBuffer(0).pixels.size(), std::size_t{kWidth} * kHeight);
    EXPECT_EQ(player->pixelBuffer(1).pixels.size(), std::size_t{kWidth} * kHeight);
    const auto created = std::find_if(device->calls().begin(), device->calls().end(),
                                      [](const std::string& call) { return call.rfind("CreateTexture", 0) == 0; });
    ASSERT_NE(created, device->calls().end());
    EXPECT_EQ(created->rfind("CreateTexture 1024 1024 1 " + std::to_string(D3DUSAGE_DYNAMIC) + " " +
                                 std::to_string(D3DFMT_A8R8G8B8) + " " + std::to_string(D3DPOOL_DEFAULT),
                             0),
              0u)
        << *created;
    EXPECT_EQ(std::make_pair(padding.askedWidth, padding.askedHeight), std::make_pair(kWidth, kHeight));
    EXPECT_EQ(player->textureWidth(), 1024u);
    // The clip-space quad, cut to the part of the texture the movie covers.
    const float u = 800.0f / 1024.0f, v = 600.0f / 1024.0f;
    const float expected[4][5] = {{-1, -1, 1, 0, v}, {-1, 1, 1, 0, 0}, {1, -1, 1, u, v}, {1, 1, 1, u, 0}};
    for (int k = 0; k < 4; ++k) {
        const FlashPlayer::QuadVertex& q = player->quad()[k];
        const float got[5] = {q.x, q.y, q.z, q.u, q.v};
        for (int f = 0; f < 5; ++f) EXPECT_FLOAT_EQ(got[f], expected[k][f]) << "vertex " << k << " field " << f;
    }
    EXPECT_NE(player->hostWindow().viewObject(), nullptr);
    const std::vector<std::string> calls = {"Menu 0", "BackgroundColor 0", "Quality 0",
                                            "Movie " + run() + "/intro.swf", "Playing 0"};
    EXPECT_EQ(player->control().calls(), calls);
    EXPECT_EQ(player->lastFrame(), 0x0FFFFFFF);
    EXPECT_EQ(player->backgroundMode(), 0);
    player.reset();
    EXPECT_EQ(device->memoryInUse(), memoryBefore) << "the texture is released";
}

TEST_F(FlashPlayerTest, BackgroundModeOneTurnsTheBackgroundBlackOthersOnlyStore)
{
    put("intro.swf", movieOf(10));
    const struct {
        int mode;
        bool setsColour;
    } cases[] = {{0, false}, {1, true}, {2, false}};
    for (const auto& c : cases) {
        FlashPlayer player(device, kWidth, kHeight, "intro.swf");
        const std::size_t before = player.control().calls().size();
        player.setQuality(3);
        player.setBackgroundMode(c.mode);
        EXPECT_EQ(player.backgroundMode(), c.mode);
        EXPECT_EQ(player.control().calls().size(), before + (c.setsColour ? 2 : 1)) << "mode " << c.mode;
        EXPECT_EQ(player.control().calls().back(), c.setsColour ? "BackgroundColor 0" : "Quality 3");
    }
}

TEST_F(FlashPlayerTest, MovieThatCannotBeLoadedShowsTheErrorAndExitsWithZero)
{
    fs::create_symlink("nowhere.swf", "dangling.swf"); // never written through
    fs::create_directories("sub");
    useArchive({{"dangling.swf", movieOf(5), 0}, {"missing/dir.swf", movieOf(5), 0}, {"sub", movieOf(5), 0}});
    for (const char* name : {"absent.swf", "dangling.swf", "missing/dir.swf", "sub"}) {
        fakeShell.boxes.clear();
        try {
            FlashPlayer player(device, kWidth, kHeight, name);
            ADD_FAILURE() << name << " loaded";
        } catch (const ProcessExit& exit) {
            EXPECT_EQ(exit.code, 0) << name;
        }
        ASSERT_EQ(fakeShell.boxes.size(), 1u) << name;
        EXPECT_EQ(fakeShell.boxes[0].caption + "|" + fakeShell.boxes[0].text, "Error|Couldn't load 2d content!");
        EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
    }
    EXPECT_FALSE(fs::exists("nowhere.swf"));
    EXPECT_EQ(runFolder(), (std::set<std::string>{"dangling.swf", "sub"}));
}

using FlashPlayerDeathTest = FlashPlayerTest;

TEST_F(FlashPlayerDeathTest, FailureAfterTheCopyWasWrittenRemovesItBeforeTheProcessEnds)
{
    // The default (forking) style: the child works in this test's folder.
    useArchive({{"intro.swf", movieOf(5), 0}});
    // Without hosting no control can be created; the real shell ends the process at once.
    EXPECT_EXIT(
        {
            endFlashHosting();
            setShell(nullptr);
            FlashPlayer player(device, kWidth, kHeight, "intro.swf");
        },
        ::testing::ExitedWithCode(0), "Error: Couldn't load 2d content!");
    EXPECT_TRUE(runFolder().empty());
}

} // namespace
