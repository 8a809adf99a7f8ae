// The hidden host window and its control: a control exists only inside hosting start-up and
// shutdown, in a window, for the Shockwave Flash class id; the control loads a movie's frame
// count when Movie is set, so the file may go right after.
#include "flash_movie_fixtures.h"
#include "platform/flash/ax_flash_window.h"
#include "platform/flash/flash_hosting.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(FlashHost, ControlNeedsHostingAWindowAndTheFlashClassId)
{
    ASSERT_FALSE(flashHostingStarted());
    {
        CAxFlashWindow window;
        ASSERT_TRUE(window.create(800, 600));
        EXPECT_FALSE(window.createControl(kShockwaveFlashClassId)) << "before hosting started";
    }
    ASSERT_TRUE(startFlashHosting());
    {
        CAxFlashWindow noWindow;
        EXPECT_FALSE(noWindow.createControl(kShockwaveFlashClassId));
        CAxFlashWindow empty;
        EXPECT_FALSE(empty.create(0, 600));
        CAxFlashWindow other;
        ASSERT_TRUE(other.create(800, 600));
        EXPECT_FALSE(other.createControl("{00000000-0000-0000-0000-000000000000}"));

        CAxFlashWindow window;
        ASSERT_TRUE(window.create(800, 600));
        EXPECT_EQ(window.width(), 800);
        ASSERT_TRUE(window.createControl(kShockwaveFlashClassId));
        EXPECT_NE(window.flash(), nullptr);
        EXPECT_NE(window.viewObject(), nullptr);
        EXPECT_FALSE(window.createControl(kShockwaveFlashClassId)) << "one control a window";
        window.destroy();
        EXPECT_FALSE(window.isWindow());
        EXPECT_EQ(window.flash(), nullptr);
    }
    // Nested starts need as many ends.
    ASSERT_TRUE(startFlashHosting());
    endFlashHosting();
    EXPECT_TRUE(flashHostingStarted());
    endFlashHosting();
    EXPECT_FALSE(flashHostingStarted());
    endFlashHosting();
    EXPECT_FALSE(flashHostingStarted());
}

TEST(FlashHost, MovieIsReadWhenSetAndKeptAfterItsFileGoes)
{
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("flash_host_" + std::to_string(::getpid()) + ".swf");
    TestMovie movie;
    movie.compression = FlashCompression::Zlib;
    movie.frameCount = 321;
    const std::vector<std::uint8_t> bytes = makeFlashMovie(movie);
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));

    ShockwaveFlash flash;
    flash.setMovie(file.string());
    std::filesystem::remove(file);
    EXPECT_EQ(flash.totalFrames(), 321);
    EXPECT_EQ(flash.movie(), file.string());
    flash.setMovie(file.string()); // gone now: a movie that cannot be read has no frames
    EXPECT_EQ(flash.totalFrames(), 0);
}

} // namespace
