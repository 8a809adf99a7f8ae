// The Flash player on the recording device: where the movie comes from and what is left on
// the disk, the path the control is given, the texture and quad, the control's configuration
// order, the two setters, destruction and the load failure.
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "content2d/flash_player.h"
#include "content2d/flash_player_path.h"
#include "flash_movie_fixtures.h"
#include "forwarding_device.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/flash/flash_hosting.h"
#include "platform/shell/scripted_shell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

std::vector<std::uint8_t> movieOf(std::uint16_t frames, FlashCompression compression = FlashCompression::None)
{
    TestMovie movie;
    movie.compression = compression;
    movie.frameCount = frames;
    return makeFlashMovie(movie);
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

TEST_F(FlashPlayerTest, MovieOnTheDiskIsUsedInPlaceAndTheDiskIsLeftAsItWas)
{
    put("intro.swf", movieOf(120, FlashCompression::Zlib));
    useArchive({{"intro.swf", movieOf(7), 0}}); // the disk copy wins
    const std::set<std::string> before = runFolder();
    const auto modified = fs::last_write_time("intro.swf");
    {
        FlashPlayer player(device, kWidth, kHeight, "intro.swf");
        EXPECT_EQ(player.totalFrames(), 120);
        EXPECT_EQ(player.control().movie(), run() + "/intro.swf");
    }
    EXPECT_EQ(runFolder(), before);
    EXPECT_EQ(fs::last_write_time("intro.swf"), modified);
}

TEST_F(FlashPlayerTest, MovieOnlyInTheArchiveIsWrittenOutUnderItsNameAndGoneAfterConstruction)
{
    useArchive({{"intro.swf", movieOf(345, FlashCompression::Lzma), 0}});
    FlashPlayer player(device, kWidth, kHeight, "intro.swf");
    // The frame count could only come from the copy on the disk while Movie was set.
    EXPECT_EQ(player.totalFrames(), 345);
    EXPECT_EQ(player.control().movie(), run() + "/intro.swf");
    EXPECT_TRUE(runFolder().empty());
}

TEST_F(FlashPlayerTest, MovieWithUnreadableHeaderHasNoFramesButLoads)
{
    const std::vector<std::uint8_t> movie = movieOf(50, FlashCompression::Zlib);
    useArchive({{"cut.swf", {movie.begin(), movie.begin() + 12}, 0}, {"text.swf", {'h', 'i'}, 0}});
    for (const char* name : {"cut.swf", "text.swf"}) {
        FlashPlayer player(device, kWidth, kHeight, name);
        EXPECT_EQ(player.totalFrames(), 0) << name;
    }
    EXPECT_TRUE(runFolder().empty());
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

    // The long name end to end: extracted, loaded, removed.
    const std::string file = std::string(200, 'a') + ".swf";
    useArchive({{file, movieOf(3), 0}});
    FlashPlayer player(device, kWidth, kHeight, file);
    EXPECT_EQ(player.control().movie(), run() + "/" + file);
    EXPECT_EQ(player.totalFrames(), 3);
    EXPECT_TRUE(runFolder().empty());
}

TEST_F(FlashPlayerTest, ConstructionPreparesBuffersTextureQuadAndConfiguresTheControlInOrder)
{
    put("intro.swf", movieOf(10));
    device->clearCalls();
    FlashPlayer player(device, kWidth, kHeight, "intro.swf");
    EXPECT_EQ(player.pixelBuffer(0).pixels.size(), std::size_t{kWidth} * kHeight);
    EXPECT_EQ(player.pixelBuffer(1).pixels.size(), std::size_t{kWidth} * kHeight);
    ASSERT_EQ(device->countCalls("CreateTexture"), 1u);
    EXPECT_EQ(device->calls()[0].rfind("CreateTexture 800 600 1 " + std::to_string(D3DUSAGE_DYNAMIC) + " " +
                                           std::to_string(D3DFMT_A8R8G8B8) + " " + std::to_string(D3DPOOL_DEFAULT),
                                       0),
              0u)
        << device->calls()[0];
    EXPECT_EQ(player.textureWidth(), kWidth);
    EXPECT_EQ(player.quad()[0].v, 1.0f);
    EXPECT_TRUE(player.hostWindow().isWindow());
    EXPECT_EQ(player.hostWindow().width(), 800);
    EXPECT_NE(player.hostWindow().viewObject(), nullptr);
    const std::vector<std::string> expected = {"Menu 0", "BackgroundColor 0", "Quality 0",
                                               "Movie " + run() + "/intro.swf", "Playing 0"};
    EXPECT_EQ(player.control().calls(), expected);
    EXPECT_FALSE(player.control().playing());
    EXPECT_EQ(player.lastFrame(), 0x0FFFFFFF);
    EXPECT_EQ(player.backgroundMode(), 0);
}

// A device whose textures come out bigger than asked, as on a powers-of-two-only card.
class PaddingDevice : public ForwardingDevice {
public:
    using ForwardingDevice::ForwardingDevice;
    HRESULT CreateTexture(UINT, UINT, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t,
                          HANDLE* s) override
    {
        return inner_->CreateTexture(1024, 1024, l, u, f, p, t, s);
    }
};

TEST_F(FlashPlayerTest, QuadCoversOnlyTheUsedPartOfALargerTexture)
{
    put("intro.swf", movieOf(10));
    PaddingDevice padding(device);
    FlashPlayer player(&padding, kWidth, kHeight, "intro.swf");
    EXPECT_EQ(player.textureWidth(), 1024u);
    EXPECT_EQ(player.textureHeight(), 1024u);
    const float u = 800.0f / 1024.0f, v = 600.0f / 1024.0f;
    const FlashPlayer::QuadVertex expected[4] = {
        {-1, -1, 1, 0, v}, {-1, 1, 1, 0, 0}, {1, -1, 1, u, v}, {1, 1, 1, u, 0}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(player.quad()[k].x, expected[k].x) << k;
        EXPECT_EQ(player.quad()[k].y, expected[k].y) << k;
        EXPECT_EQ(player.quad()[k].z, expected[k].z) << k;
        EXPECT_FLOAT_EQ(player.quad()[k].u, expected[k].u) << k;
        EXPECT_FLOAT_EQ(player.quad()[k].v, expected[k].v) << k;
    }
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
        EXPECT_EQ(player.control().quality(), 3);
        std::vector<std::string> expected = {"Quality 3"};
        if (c.setsColour) expected.push_back("BackgroundColor 0");
        const std::vector<std::string> after(player.control().calls().begin() + static_cast<std::ptrdiff_t>(before),
                                             player.control().calls().end());
        EXPECT_EQ(after, expected) << "mode " << c.mode;
    }
}

TEST_F(FlashPlayerTest, DestructionReleasesTheTexture)
{
    put("intro.swf", movieOf(10));
    const std::size_t before = device->memoryInUse();
    auto player = std::make_unique<FlashPlayer>(device, kWidth, kHeight, "intro.swf");
    EXPECT_GT(device->memoryInUse(), before);
    player.reset();
    EXPECT_EQ(device->memoryInUse(), before);
}

TEST_F(FlashPlayerTest, MovieThatCannotBeLoadedShowsTheErrorAndExitsWithZero)
{
    std::ofstream("planted.target") << "not ours";
    fs::create_symlink("planted.target", "linked.swf");   // on the disk through a link: used
    fs::create_symlink("nowhere.swf", "dangling.swf");    // a dangling link is never written through
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
        EXPECT_EQ(fakeShell.boxes[0].caption, "Error");
        EXPECT_EQ(fakeShell.boxes[0].text, "Couldn't load 2d content!");
        EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
    }
    EXPECT_FALSE(fs::exists("nowhere.swf"));
    EXPECT_TRUE(fs::is_symlink("dangling.swf"));
    FlashPlayer linked(device, kWidth, kHeight, "linked.swf");
    EXPECT_EQ(linked.totalFrames(), 0);
    std::ifstream in("planted.target");
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "not ours");
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
