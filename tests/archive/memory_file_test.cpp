// MemoryFile: disk before archive, the stream operations with their clamping and error flag,
// and null handles.
#include "archive/archive_access.h"
#include "archive/memory_file.h"
#include "archive/resource_archive.h"
#include "archive_test_support.h"

#include <sys/stat.h>

namespace {

class MemoryFileTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ResourceArchive archive;

    void SetUp() override
    {
        scratch.enter();
        Bytes box = containerOf({{"both.txt", bytesOf("from archive"), 1},
                                 {"only-archive.bin", bytesOf("0123456789"), 0},
                                 {"broken", bytesOf("abc"), 0}},
                                0);
        storeU32LE(box.data() + recordOffset(box, 2) + 8, 0x00000007); // an unregistered filter
        writeFile("pack.cfl", box);
        ASSERT_TRUE(archive.open("pack.cfl"));
        setTheArchive(&archive);
    }
    void TearDown() override { setTheArchive(nullptr); }

    static Bytes contents(MemoryFile* file) { return Bytes(file->data(), file->data() + file->size()); }
};

} // namespace

TEST_F(MemoryFileTest, DiskFileTakesPrecedenceOverTheArchive)
{
    writeFile("both.txt", bytesOf("from disk"));
    MemoryFile* file = MemoryFile::open("both.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(contents(file), bytesOf("from disk"));
    EXPECT_EQ(MemoryFile::close(file), 0);

    std::filesystem::remove("both.txt");
    file = MemoryFile::open("both.txt");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(contents(file), bytesOf("from archive"));
    MemoryFile::close(file);
}

TEST_F(MemoryFileTest, MissingUndecodableOrArchiveLessNamesGiveNull)
{
    EXPECT_EQ(MemoryFile::open("nowhere"), nullptr);
    EXPECT_EQ(MemoryFile::open("broken"), nullptr);
    std::filesystem::create_directory("folder");
    EXPECT_EQ(MemoryFile::open("folder"), nullptr);
    setTheArchive(nullptr);
    EXPECT_EQ(MemoryFile::open("only-archive.bin"), nullptr);
}

TEST_F(MemoryFileTest, SeekClampsAndFlagsAndTheNextReadClearsTheFlag)
{
    writeFile("four", bytesOf("abcd"));
    MemoryFile* file = MemoryFile::open("four");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MemoryFile::seek(file, 10, 0), 0);
    EXPECT_EQ(MemoryFile::tell(file), 4);
    EXPECT_EQ(file->errorFlag(), -1);
    char buffer[8];
    EXPECT_EQ(MemoryFile::read(buffer, 1, 8, file), 0u);
    EXPECT_EQ(file->errorFlag(), 0);

    MemoryFile::seek(file, -1, 2);
    EXPECT_EQ(MemoryFile::tell(file), 3);
    EXPECT_EQ(file->errorFlag(), 0);
    MemoryFile::seek(file, -5, 1);
    EXPECT_EQ(MemoryFile::tell(file), 0);
    EXPECT_EQ(file->errorFlag(), -1);
    MemoryFile::seek(file, 2, 1);
    EXPECT_EQ(file->errorFlag(), 0);
    MemoryFile::seek(file, 100, 7); // unknown whence keeps the position
    EXPECT_EQ(MemoryFile::tell(file), 2);
    MemoryFile::seek(file, INT32_MAX, 1);
    EXPECT_EQ(MemoryFile::tell(file), 4);
    MemoryFile::close(file);
}

TEST_F(MemoryFileTest, ReadCopiesWholeBytesAndCountsWholeElements)
{
    MemoryFile* file = MemoryFile::open("only-archive.bin");
    ASSERT_NE(file, nullptr);
    char buffer[16] = {};
    // 10 bytes left, 12 asked for: all 10 are copied, 2 whole elements reported.
    EXPECT_EQ(MemoryFile::read(buffer, 4, 3, file), 2u);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(MemoryFile::tell(file), 10);

    MemoryFile::seek(file, 3, 0);
    EXPECT_EQ(MemoryFile::read(buffer, 2, 2, file), 2u);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ(MemoryFile::read(buffer, 0, 5, file), 0u);
    EXPECT_EQ(MemoryFile::read(buffer, 1, SIZE_MAX, file), 3u); // no overflow in size * count
    MemoryFile::close(file);
}

TEST(MemoryFileNullHandle, EveryOperationTolerantOfNull)
{
    char buffer[4];
    EXPECT_EQ(MemoryFile::read(buffer, 1, 4, nullptr), 0u);
    EXPECT_EQ(MemoryFile::seek(nullptr, 0, 0), 1);
    EXPECT_EQ(MemoryFile::tell(nullptr), -1);
    EXPECT_EQ(MemoryFile::close(nullptr), -1);
}

// A pipe with no writer used to block the open for ever, and a folder read as a huge length:
// neither is a resource on the disk, so the archive's entry of that name (if any) is used.
TEST_F(MemoryFileTest, PipesFoldersAndDevicesOnTheDiskReadAsAbsent)
{
    ASSERT_EQ(::mkfifo("both.txt", 0600), 0);
    std::filesystem::create_directory("only-archive.bin");
    ASSERT_EQ(::mkfifo("pipe-only", 0600), 0);
    struct Case {
        const char* name;
        std::optional<Bytes> expected;
    };
    const Case cases[] = {{"both.txt", bytesOf("from archive")},
                          {"only-archive.bin", bytesOf("0123456789")},
                          {"pipe-only", std::nullopt},
                          {"/dev/zero", std::nullopt},
                          {"/dev/tty", std::nullopt}};
    for (const Case& c : cases) {
        MemoryFile* file = MemoryFile::open(c.name);
        EXPECT_EQ(file ? std::optional<Bytes>(contents(file)) : std::nullopt, c.expected) << c.name;
        MemoryFile::close(file);
    }
}
