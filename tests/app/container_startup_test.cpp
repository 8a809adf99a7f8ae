#include "app/container_startup.h"

#include <gtest/gtest.h>

TEST(ContainerPathBeside, ReplacesAThreeLetterExtension)
{
    EXPECT_EQ(containerPathBeside("C:/demos/demo.exe"), "C:/demos/demo.cfl");
    EXPECT_EQ(containerPathBeside("/opt/x/player.bin"), "/opt/x/player.cfl");
}

TEST(ContainerPathBeside, AppendsWhenTheNameHasNoThreeLetterExtension)
{
    EXPECT_EQ(containerPathBeside("/opt/demo/demo"), "/opt/demo/demo.cfl");
    // A dot in a folder name is not an extension of the file.
    EXPECT_EQ(containerPathBeside("/opt/v1.2x/demo"), "/opt/v1.2x/demo.cfl");
    EXPECT_EQ(containerPathBeside("/opt/demo.player"), "/opt/demo.player.cfl");
    EXPECT_EQ(containerPathBeside("demo"), "demo.cfl");
}
