// The sound library's file callbacks map onto MemoryFile: byte counts, seek modes and null
// handles pass through, and a file missing from the disk comes from the archive.
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "music/music_file_callbacks.h"
#include "music_test_support.h"

#include <array>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace

class MusicFileCallbacksTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ResourceArchive archive;

    void TearDown() override { setTheArchive(nullptr); }

    // Puts the entries into a container in the scratch folder and makes it the archive.
    void useArchive(const std::vector<ContainerEntry>& entries)
    {
        const ContainerResult container = writeContainer(entries, 0);
        ASSERT_TRUE(container.error.empty()) << container.error;
        ASSERT_TRUE(archive.open(scratch.write("music.cfl", container.bytes)));
        setTheArchive(&archive);
    }
};

TEST_F(MusicFileCallbacksTest, ReadSeekAndTellWorkOnTheWholeDiskFile)
{
    const std::string path = scratch.write("song.ogg", bytesOf("0123456789"));
    void* file = openMusicFile(path.c_str());
    ASSERT_NE(file, nullptr);

    std::array<char, 16> buffer{};
    EXPECT_EQ(readMusicFile(buffer.data(), 4, file), 4);
    EXPECT_EQ(std::string(buffer.data(), 4), "0123");
    EXPECT_EQ(tellMusicFile(file), 4);

    EXPECT_EQ(seekMusicFile(file, 2, 1), 0);  // from the current position
    EXPECT_EQ(tellMusicFile(file), 6);
    EXPECT_EQ(seekMusicFile(file, -3, 2), 0);  // from the end
    EXPECT_EQ(tellMusicFile(file), 7);
    EXPECT_EQ(readMusicFile(buffer.data(), 16, file), 3) << "only what is left";
    EXPECT_EQ(std::string(buffer.data(), 3), "789");
    EXPECT_EQ(seekMusicFile(file, 1, 0), 0);  // from the start
    EXPECT_EQ(readMusicFile(buffer.data(), 2, file), 2);
    EXPECT_EQ(std::string(buffer.data(), 2), "12");

    EXPECT_EQ(seekMusicFile(file, 50, 0), 0);
    EXPECT_EQ(tellMusicFile(file), 10) << "a seek past the end stops at the end";
    closeMusicFile(file);
}

TEST_F(MusicFileCallbacksTest, ANonPositiveReadSizeReadsNothing)
{
    const std::string path = scratch.write("song.ogg", bytesOf("abc"));
    void* file = openMusicFile(path.c_str());
    ASSERT_NE(file, nullptr);
    char buffer[4] = {};
    EXPECT_EQ(readMusicFile(buffer, 0, file), 0);
    EXPECT_EQ(readMusicFile(buffer, -5, file), 0);
    EXPECT_EQ(tellMusicFile(file), 0);
    closeMusicFile(file);
}

TEST_F(MusicFileCallbacksTest, AMissingNameGivesNoHandleAndANullHandleIsTolerated)
{
    EXPECT_EQ(openMusicFile(scratch.path("absent.ogg").c_str()), nullptr);
    EXPECT_EQ(openMusicFile(nullptr), nullptr);

    char buffer[4];
    EXPECT_EQ(readMusicFile(buffer, 4, nullptr), 0);
    EXPECT_EQ(seekMusicFile(nullptr, 0, 0), 1);
    EXPECT_EQ(tellMusicFile(nullptr), -1);
    closeMusicFile(nullptr);
}

TEST_F(MusicFileCallbacksTest, AnArchiveEntryIsReadWhenTheDiskHasNoSuchFile)
{
    const std::string name = "music_callbacks_archive_only.ogg";
    useArchive({{name, bytesOf("from the archive"), 0}});

    void* file = openMusicFile(name.c_str());
    ASSERT_NE(file, nullptr);
    std::array<char, 32> buffer{};
    EXPECT_EQ(readMusicFile(buffer.data(), 32, file), 16);
    EXPECT_EQ(std::string(buffer.data(), 16), "from the archive");
    closeMusicFile(file);
}
