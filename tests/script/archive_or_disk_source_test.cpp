// Script text from the archive (bytes unchanged) or the disk (text mode: CR LF becomes LF),
// and what that means for the line numbers in error messages.
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "script/script_parser.h"
#include "script/script_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ScriptSourceTest : public ::testing::Test {
protected:
    std::filesystem::path folder;
    ResourceArchive archive;

    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("script_source_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        setTheArchive(nullptr);
        std::filesystem::remove_all(folder);
    }

    std::string diskFile(const std::string& name, const std::string& bytes) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    void useArchiveWith(const std::string& name, const std::string& bytes) {
        const ContainerResult container =
            writeContainer({ContainerEntry{name, std::vector<std::uint8_t>(bytes.begin(), bytes.end()), 0}}, 0);
        ASSERT_TRUE(container.error.empty()) << container.error;
        const auto path = folder / "demo.cfl";
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(container.bytes.data()), static_cast<std::streamsize>(container.bytes.size()));
        ASSERT_TRUE(archive.open(path.string()));
        setTheArchive(&archive);
    }

    static std::optional<ScriptError> parse(const std::string& name) {
        ArchiveOrDiskScriptSource source;
        ScriptParser parser(source);
        return parser.parse(name, 0.0f, [](const ScriptLine& line) { return line.keyword == "wait"; });
    }
};

const std::string crlfScript = "wait 1\r\n\r\n\r\nbogus\r\n";

}  // namespace

TEST(CrLfToLf, OnlyPairsBecomeLineFeeds) {
    EXPECT_EQ(crlfToLf("a\r\nb\r\r\nc\rd\n\r"), "a\nb\r\nc\rd\n\r");
}

TEST_F(ScriptSourceTest, DiskFileLosesItsCarriageReturnsSoBlankLinesDoNotCount) {
    const std::string name = diskFile("demo.psc", crlfScript);
    ArchiveOrDiskScriptSource source;
    EXPECT_EQ(source.read(name), "wait 1\n\n\nbogus\n");
    const std::optional<ScriptError> error = parse(name);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->lineNumber, 2);
}

TEST_F(ScriptSourceTest, ArchiveEntryKeepsItsCarriageReturnsSoBlankLinesCount) {
    useArchiveWith("demo.psc", crlfScript);
    ArchiveOrDiskScriptSource source;
    EXPECT_EQ(source.read("demo.psc"), crlfScript);
    const std::optional<ScriptError> error = parse("demo.psc");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->lineNumber, 4);
    EXPECT_EQ(error->line, "bogus");
}

TEST_F(ScriptSourceTest, ArchiveComesBeforeTheDisk) {
    const std::string name = diskFile("demo.psc", "bogus\n");
    useArchiveWith(name, "wait 5\n");
    EXPECT_FALSE(parse(name));
}

TEST_F(ScriptSourceTest, FileInNeitherPlaceIsNoText) {
    useArchiveWith("other.psc", "wait 5\n");
    ArchiveOrDiskScriptSource source;
    EXPECT_FALSE(source.read((folder / "absent.psc").string()));
    EXPECT_FALSE(parse((folder / "absent.psc").string()));
}

// A folder once read as a huge length and a pipe blocked the open for ever; anything but a
// regular file is now no script at all, and neither a read nor an include of one stalls.
TEST_F(ScriptSourceTest, OnlyRegularFilesAreScripts) {
    const std::string fifo = (folder / "pipe.psc").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directories(folder / "folder.psc");
    const std::string main = diskFile("main.psc", "include " + fifo + " 0\ninclude " + (folder / "folder.psc").string() +
                                                      " 0\ninclude /dev/zero 0\nwait 5\n");
    ArchiveOrDiskScriptSource source;
    for (const std::string& name : {std::string("/dev/zero"), std::string("/dev/null"), fifo, (folder / "folder.psc").string()}) {
        EXPECT_FALSE(source.read(name).has_value()) << name;
    }
    EXPECT_EQ(source.read(main).value_or("").substr(0, 8), "include ");
    EXPECT_FALSE(parse(main));
}
