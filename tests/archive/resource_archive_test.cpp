// Opening containers (stand-alone, appended, absent), lookup rules and the read operations.
#include "archive/container_format.h"
#include "archive/little_endian.h"
#include "archive/player_container.h"
#include "archive/resource_archive.h"
#include "archive_test_support.h"

namespace {

class ResourceArchiveTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    ResourceArchive archive;

    std::string container(const std::string& name, const std::vector<ContainerEntry>& entries,
                          std::uint32_t directoryFilter = 1)
    {
        const std::filesystem::path path = scratch / name;
        writeFile(path, containerOf(entries, directoryFilter));
        return path.string();
    }
};

} // namespace

TEST_F(ResourceArchiveTest, StandAloneContainerReadsBackEveryFilter)
{
    const Bytes text = wordyBytes(5000, 1);
    const Bytes samples = randomBytes(1001, 2);
    const std::string path = container("demo.cfl", {{"demo.psc", text, 1},
                                                    {"music/a.ogg", samples, 0},
                                                    {"mesh.bin", samples, 0x00020001},
                                                    {"empty", {}, 0x00030000}});
    ASSERT_TRUE(archive.open(path));
    EXPECT_EQ(archive.read("demo.psc"), text);
    EXPECT_EQ(archive.read("music/a.ogg"), samples);
    EXPECT_EQ(archive.read("mesh.bin"), samples);
    EXPECT_EQ(archive.read("empty"), Bytes{});
    EXPECT_TRUE(archive.contains("empty"));
    EXPECT_EQ(archive.entrySize("demo.psc"), 5000u);
    EXPECT_EQ(archive.entrySize("missing"), 0u);
    EXPECT_FALSE(archive.read("missing").has_value());
}

TEST_F(ResourceArchiveTest, AppendedContainerIsFoundThroughTheTrailer)
{
    const Bytes program = randomBytes(3000, 5);
    const Bytes box = containerOf({{"demo.psc", bytesOf("play"), 1}});
    Bytes file = program;
    file.insert(file.end(), box.begin(), box.end());
    const Bytes trailer = *containerTrailer(box.size());
    file.insert(file.end(), trailer.begin(), trailer.end());
    writeFile(scratch / "demo", file);

    ASSERT_TRUE(archive.open((scratch / "demo").string()));
    EXPECT_EQ(archive.read("demo.psc"), bytesOf("play"));
    // openAt with the container's own offset finds the magic directly.
    ResourceArchive direct;
    ASSERT_TRUE(direct.openAt((scratch / "demo").string(), 3000));
    EXPECT_EQ(direct.read("demo.psc"), bytesOf("play"));
}

TEST_F(ResourceArchiveTest, FileWithoutContainerDoesNotOpenAndChangesNothing)
{
    ASSERT_TRUE(archive.open(container("a.cfl", {{"kept", bytesOf("x"), 0}})));
    writeFile(scratch / "plain", randomBytes(100, 1));
    EXPECT_FALSE(archive.open((scratch / "plain").string()));
    EXPECT_FALSE(archive.open((scratch / "absent").string()));
    EXPECT_FALSE(archive.open(scratch.path().string())); // a folder
    EXPECT_TRUE(archive.contains("kept"));
}

TEST_F(ResourceArchiveTest, LaterDuplicateRecordWinsAndAlsoAcrossContainers)
{
    ASSERT_TRUE(archive.open(container("a.cfl", {{"x", bytesOf("first"), 0}, {"y", bytesOf("why"), 1}, {"x", bytesOf("second!"), 1}})));
    EXPECT_EQ(archive.entrySize("x"), 7u);
    EXPECT_EQ(archive.read("x"), bytesOf("second!"));

    ASSERT_TRUE(archive.open(container("b.cfl", {{"y", bytesOf("from b"), 0}})));
    EXPECT_EQ(archive.read("y"), bytesOf("from b"));
    EXPECT_EQ(archive.read("x"), bytesOf("second!"));
}

TEST_F(ResourceArchiveTest, NamesAreExactBytes)
{
    ASSERT_TRUE(archive.open(container("a.cfl", {{"Tex/A.png", bytesOf("1"), 0}, {"tex/a.png", bytesOf("2"), 0}, {"tex\\a.png", bytesOf("3"), 0}})));
    EXPECT_EQ(archive.read("Tex/A.png"), bytesOf("1"));
    EXPECT_EQ(archive.read("tex/a.png"), bytesOf("2"));
    EXPECT_EQ(archive.read("tex\\a.png"), bytesOf("3"));
    EXPECT_FALSE(archive.contains("TEX/A.PNG"));
    EXPECT_FALSE(archive.contains("./tex/a.png"));
}

TEST_F(ResourceArchiveTest, EmptyDirectoryOpensWithNoEntries)
{
    EXPECT_TRUE(archive.open(container("empty.cfl", {}, 0)));
    EXPECT_TRUE(archive.open(container("empty-z.cfl", {}, 1)));
    EXPECT_FALSE(archive.contains(""));
}

TEST_F(ResourceArchiveTest, ReadIntoCopiesAtMostTheCapacity)
{
    const Bytes data = wordyBytes(100, 3);
    ASSERT_TRUE(archive.open(container("a.cfl", {{"d", data, 1}})));
    Bytes small(40, 0xEE);
    EXPECT_EQ(archive.readInto("d", small.data(), 40), 40u);
    EXPECT_EQ(small, Bytes(data.begin(), data.begin() + 40));
    Bytes large(150, 0xEE);
    EXPECT_EQ(archive.readInto("d", large.data(), 150), 100u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), large.begin()));
    EXPECT_EQ(large[100], 0xEE);
    EXPECT_EQ(archive.readInto("missing", large.data(), 150), 0u);
}

TEST_F(ResourceArchiveTest, SizeOutputIsSetOnceTheEntryIsFoundEvenWhenDecodingFails)
{
    // A ZLIB entry whose stream decodes shorter than its declared size is unreadable.
    const std::string path = (scratch / "a.cfl").string();
    // Raise the declared size in the (None-encoded) directory: record 0 starts the directory.
    Bytes box = containerOf({{"short", wordyBytes(50, 1), 1}}, 0);
    const std::uint32_t directory = loadU32LE(box.data() + 4);
    storeU32LE(box.data() + directory + 8, 80);
    writeFile(path, box);
    ASSERT_TRUE(archive.open(path));

    std::uint32_t size = 1234;
    EXPECT_FALSE(archive.read("short", size).has_value());
    EXPECT_EQ(size, 80u);
    EXPECT_FALSE(archive.read("nothing", size).has_value());
    EXPECT_EQ(size, 0u);
    Bytes sink(100);
    EXPECT_EQ(archive.readInto("short", sink.data(), 100), 0u);
}

TEST_F(ResourceArchiveTest, DeclaredSizeBelowTheDecodedLengthCutsTheEntry)
{
    Bytes box = containerOf({{"long", bytesOf("0123456789"), 0}}, 0);
    const std::uint32_t directory = loadU32LE(box.data() + 4);
    storeU32LE(box.data() + directory + 8, 4);
    writeFile(scratch / "a.cfl", box);
    ASSERT_TRUE(archive.open((scratch / "a.cfl").string()));
    EXPECT_EQ(archive.read("long"), bytesOf("0123"));
}

TEST_F(ResourceArchiveTest, EntryWhoseContainerVanishedIsUnreadable)
{
    const std::string path = container("a.cfl", {{"x", bytesOf("data"), 0}});
    ASSERT_TRUE(archive.open(path));
    std::filesystem::remove(path);
    EXPECT_TRUE(archive.contains("x"));
    EXPECT_FALSE(archive.read("x").has_value());
}

TEST_F(ResourceArchiveTest, CloseEmptiesTheArchiveWhichCanBeOpenedAgain)
{
    const std::string path = container("a.cfl", {{"x", bytesOf("data"), 0}});
    ASSERT_TRUE(archive.open(path));
    archive.close();
    EXPECT_FALSE(archive.contains("x"));
    ASSERT_TRUE(archive.open(path));
    EXPECT_EQ(archive.read("x"), bytesOf("data"));
}

TEST(PlayerContainer, FileBesideTheExecutable)
{
    EXPECT_EQ(containerBesideExecutable("C:\\demos\\demo.exe"), "C:\\demos\\demo.cfl");
    EXPECT_EQ(containerBesideExecutable("/opt/demo/demo"), "/opt/demo/demo.cfl");
    EXPECT_EQ(containerBesideExecutable("/opt/v1.2/demo"), "/opt/v1.2/demo.cfl");
    EXPECT_EQ(containerBesideExecutable("/opt/demo.x86_64"), "/opt/demo.x86_64.cfl");
    EXPECT_EQ(containerBesideExecutable("/opt/.abc"), "/opt/.abc.cfl");
}

TEST_F(ResourceArchiveTest, PlayerPrefersItsOwnFileThenTheContainerBesideIt)
{
    writeFile(scratch / "demo", randomBytes(500, 1));
    writeFile(scratch / "demo.cfl", containerOf({{"demo.psc", bytesOf("beside"), 1}}));
    ASSERT_TRUE(openPlayerContainer(archive, (scratch / "demo").string()));
    EXPECT_EQ(archive.read("demo.psc"), bytesOf("beside"));

    ResourceArchive none;
    std::filesystem::remove(scratch / "demo.cfl");
    EXPECT_FALSE(openPlayerContainer(none, (scratch / "demo").string()));
}
