// readWholeFile: the resource's bytes, or the "Error" box and exit code 0.
#include "archive/read_whole_file.h"
#include "archive_test_support.h"
#include "platform/shell/scripted_shell.h"

#include <cstdlib>

namespace {

// Makes sure no message box can be drawn, so the shell writes "caption: text" to stderr.
void withoutDisplay()
{
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
}

} // namespace

TEST(ReadWholeFile, ReturnsTheWholeResource)
{
    ScratchFolder scratch;
    const Bytes data = randomBytes(12345, 4);
    writeFile(scratch / "scene.psk", data);
    EXPECT_EQ(readWholeFile((scratch / "scene.psk").string()), data);
    writeFile(scratch / "empty", {});
    EXPECT_EQ(readWholeFile((scratch / "empty").string()), Bytes{});
}

TEST(ReadWholeFileDeathTest, MissingResourceShowsTheNameAndExitsWithZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((withoutDisplay(), readWholeFile("no/such/scene.psk")), ::testing::ExitedWithCode(0),
                "Error: Couldn't open file: no/such/scene\\.psk");
}

TEST(ReadWholeFileDeathTest, NameLongerThanTheMessageBufferIsShownWhole)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string name = std::string(300, 'n') + "-end.psk";
    EXPECT_EXIT((withoutDisplay(), readWholeFile(name)), ::testing::ExitedWithCode(0),
                "Couldn't open file: n{300}-end\\.psk");
}

TEST(ReadWholeFile, BoxIsCaptionedErrorWithAnOkButton)
{
    ScriptedShell scripted;
    setShell(&scripted);
    const std::string name = std::string(1000, 'x');
    try {
        readWholeFile(name);
        ADD_FAILURE() << "readWholeFile returned";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    setShell(nullptr);
    ASSERT_EQ(scripted.boxes.size(), 1u);
    EXPECT_EQ(scripted.boxes[0].caption, "Error");
    EXPECT_EQ(scripted.boxes[0].text, "Couldn't open file: " + name);
    EXPECT_EQ(scripted.boxes[0].style & 0xF, MB_OK);
}
