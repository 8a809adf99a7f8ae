#include "app/clock.h"
#include "app/main_window.h"
#include "app/player.h"

#include "app_fixture.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/recording/recording_direct3d.h"
#include "platform/sound/recording_sound_library.h"

#include <filesystem>
#include <fstream>

namespace {

RecordingDirect3D* madeDirect3D = nullptr;

IDirect3D9* recordingFactory(UINT)
{
    madeDirect3D = new RecordingDirect3D();
    return madeDirect3D;
}

class FrameLoopTest : public AppTest {
protected:
    RecordingSoundLibrary sound;
    std::filesystem::path previous;
    std::filesystem::path folder;

    void SetUp() override
    {
        AppTest::SetUp();
        setSoundLibrary(&sound);
        direct3DFactory = &recordingFactory;
        previous = std::filesystem::current_path();
        folder = std::filesystem::temp_directory_path() /
                 ("frame_loop_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
    }
    void TearDown() override
    {
        AppTest::TearDown();
        setSoundLibrary(nullptr);
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    void writeScript(const std::string& text) { std::ofstream(folder / "demo.psc") << text; }

    void startWindowed()
    {
        fakeShell.boxAnswers = {IDNO};
        runStartup();
    }
};

} // namespace

TEST_F(FrameLoopTest, WithoutAScriptTheLoopEndsAfterTheFirstFrame)
{
    startWindowed();
    runFrameLoop();
    RecordingDevice* device = madeDirect3D->lastDevice();
    EXPECT_EQ(device->presentCount(), 1u);
    EXPECT_EQ(runShutdown(), 0);
}

TEST_F(FrameLoopTest, EachFrameTakesOneMessageClearsUpdatesAndPresents)
{
    writeScript("wait 100000\n");
    startWindowed();
    RecordingDevice* device = madeDirect3D->lastDevice();
    device->clearCalls();
    fakeShell.queue.push_back({appContext.window, WM_PAINT, 0, 0});
    fakeShell.queue.push_back({appContext.window, WM_KEYDOWN, VK_ESCAPE, 0});
    runFrame();
    // Only the paint was taken: one message per frame.
    EXPECT_EQ(fakeShell.queue.size(), 1u);
    EXPECT_FALSE(appContext.quitRequested);
    ASSERT_GE(device->calls().size(), 4u);
    EXPECT_EQ(device->calls().front().rfind("Clear 0", 0), 0u) << device->calls().front();
    EXPECT_EQ(device->calls().back().rfind("Present", 0), 0u) << device->calls().back();

    // The Escape frame still clears, updates and presents; the loop stops at the next check.
    runFrameLoop();
    EXPECT_TRUE(appContext.quitRequested);
    EXPECT_EQ(device->presentCount(), 2u);
    runShutdown();
    EXPECT_EQ(appContext.window, nullptr);
    EXPECT_EQ(appContext.scripter, nullptr);
    EXPECT_EQ(appContext.archive, nullptr);
}

TEST_F(FrameLoopTest, FullScreenHidesTheCursorUntilShutdown)
{
    fakeShell.boxAnswers = {IDYES};
    runStartup();
    EXPECT_EQ(fakeShell.cursorCount, -1);
    EXPECT_EQ(madeDirect3D->presentParameters().BackBufferWidth, 800u);
    runShutdown();
    EXPECT_EQ(fakeShell.cursorCount, 0);
}

TEST_F(FrameLoopTest, TheClockStartsAtTheEndOfStartUp)
{
    fakeShell.counter = 5000000;
    startWindowed();
    EXPECT_FLOAT_EQ(readClockMs(), 0.0f);
    fakeShell.advanceMs(16);
    EXPECT_FLOAT_EQ(readClockMs(), 16.0f);
    runShutdown();
}
