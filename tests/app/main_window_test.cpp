#include "app/fatal_error.h"
#include "app/main_window.h"
#include "app/display_teardown.h"

#include "app_fixture.h"

using ::testing::ExitedWithCode;

using QuestionTest = AppTest;

TEST_F(QuestionTest, YesMeansFullScreenAndNoMeansWindowed)
{
    fakeShell.boxAnswers = {IDYES};
    askFullScreen();
    EXPECT_TRUE(appContext.fullScreen);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "Demo");
    EXPECT_EQ(fakeShell.boxes[0].text, "Would you like to run in fullscreen mode?");
    EXPECT_EQ(fakeShell.boxes[0].style, 0x23u);

    fakeShell.boxAnswers = {IDNO};
    askFullScreen();
    EXPECT_FALSE(appContext.fullScreen);
}

TEST_F(QuestionTest, CancelShowsUserAbortAndExitsWith5)
{
    fakeShell.boxAnswers = {IDCANCEL};
    EXPECT_EQ(exitCodeOf([] { askFullScreen(); }), 5);
    ASSERT_EQ(fakeShell.boxes.size(), 2u);
    EXPECT_EQ(fakeShell.boxes[1].text, "User Abort");
    EXPECT_EQ(fakeShell.boxes[1].caption, "Demo");
    EXPECT_EQ(fakeShell.debugOutput, "User Abort");
}

TEST_F(QuestionTest, NoBoxAtAllExitsWith10)
{
    fakeShell.noDisplay = true;
    EXPECT_EQ(exitCodeOf([] { askFullScreen(); }), 10);
    EXPECT_EQ(fakeShell.debugOutput, "Couldn't open MessageBox, dying");
}

TEST_F(QuestionTest, AnyOtherAnswerKeepsWindowedMode)
{
    fakeShell.boxAnswers = {IDOK};
    askFullScreen();
    EXPECT_FALSE(appContext.fullScreen);
}

TEST(QuestionDeathTest, WithoutADisplayTheQuestionEndsTheProcessWith10)
{
    EXPECT_EXIT(
        {
            setShell(nullptr);
            askFullScreen();
        },
        ExitedWithCode(10), "Couldn't open MessageBox, dying\n");
}

using WindowTest = AppTest;

TEST_F(WindowTest, WindowedIs800x600WithACloseBoxAndFullScreenCoversTheScreen)
{
    createMainWindow();
    EXPECT_NE(appContext.window, nullptr);
    EXPECT_EQ(fakeShell.windowTitle, "Demo");
    EXPECT_EQ(fakeShell.windowStyle, WS_SYSMENU);
    EXPECT_EQ(fakeShell.windowWidth, 800);
    EXPECT_EQ(fakeShell.windowHeight, 600);
    ASSERT_TRUE(fakeShell.classes.count("Vorna window class"));
    EXPECT_EQ(fakeShell.classes["Vorna window class"].style, CS_OWNDC);
    destroyMainWindow();
    EXPECT_EQ(appContext.window, nullptr);
    EXPECT_FALSE(fakeShell.classes.count("Vorna window class"));

    appContext.fullScreen = true;
    fakeShell.screenWidth = 2560;
    fakeShell.screenHeight = 1440;
    createMainWindow();
    EXPECT_EQ(fakeShell.windowStyle, WS_POPUP);
    EXPECT_EQ(fakeShell.windowWidth, 2560);
    EXPECT_EQ(fakeShell.windowHeight, 1440);
}

TEST_F(WindowTest, EscapeAndCloseRequestQuitOtherKeysDoNothing)
{
    createMainWindow();
    windowProc(appContext.window, WM_KEYDOWN, 'A', 0);
    windowProc(appContext.window, WM_KEYDOWN, 0x0D, 0);
    EXPECT_FALSE(appContext.quitRequested);
    windowProc(appContext.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(appContext.quitRequested);

    appContext.quitRequested = false;
    windowProc(appContext.window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(appContext.quitRequested);
    // The close request does not destroy the window: shutdown does.
    EXPECT_NE(appContext.window, nullptr);
    EXPECT_TRUE(fakeShell.queue.empty());
}

TEST_F(WindowTest, TeardownDrainsTheQueueAndReportsFailuresWithoutEnding)
{
    createMainWindow();
    fakeShell.queue.push_back({appContext.window, WM_PAINT, 0, 0});
    destroyMainWindow();
    // WM_DESTROY posted the quit message, which the drain consumed with the paint.
    EXPECT_TRUE(fakeShell.queue.empty());
    EXPECT_EQ(fakeShell.dispatched, (std::vector<UINT>{WM_DESTROY, WM_PAINT, WM_QUIT}));

    createMainWindow();
    fakeShell.failDestroyWindow = true;
    fakeShell.failUnregisterClass = true;
    fakeShell.boxes.clear();
    destroyMainWindow();
    EXPECT_EQ(appContext.window, nullptr);
    EXPECT_EQ(fakeShell.debugOutput, "   Failed to DestroyWindow\n   Failed to Unregister Window\n");
    ASSERT_EQ(fakeShell.boxes.size(), 2u);
    EXPECT_EQ(fakeShell.boxes[0].text, "Destroy Window Failed");
    EXPECT_EQ(fakeShell.boxes[0].style, 0x40010u);
    EXPECT_EQ(fakeShell.boxes[1].text, "Unregister Failed");
}

TEST_F(WindowTest, FailedRegistrationStillTriesToUnregisterAndExitsWith5)
{
    fakeShell.failRegisterClass = true;
    EXPECT_EQ(exitCodeOf([] { createMainWindow(); }), 5);
    std::vector<std::string> texts;
    for (const auto& box : fakeShell.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Unregister Failed", "Error registering window class"}));
    EXPECT_EQ(fakeShell.debugOutput, "   Failed to Unregister Window\nError registering window class\n");
}

TEST_F(WindowTest, FailedCreationReportsErrorOpeningWindow)
{
    fakeShell.failCreateWindow = true;
    EXPECT_EQ(exitCodeOf([] { createMainWindow(); }), 5);
    ASSERT_FALSE(fakeShell.boxes.empty());
    EXPECT_EQ(fakeShell.boxes.back().text, "Error opening window");
    EXPECT_EQ(fakeShell.boxes.back().caption, "Demo");
}

TEST(FatalErrorDeathTest, ReportsOnStandardErrorAndExitsWith5)
{
    EXPECT_EXIT(
        {
            setShell(nullptr);
            fatalError("Error opening window");
        },
        ExitedWithCode(5), "Error opening window\n\n?Demo: Error opening window");
    EXPECT_EXIT(
        {
            setShell(nullptr);
            fatalError("Error creating Device: -2005530516\n");
        },
        ExitedWithCode(5), "Demo: Error creating Device: -2005530516");
}
