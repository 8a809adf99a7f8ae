// demotool's container commands, run in-process through the same parser and exit-code
// mapping as the binary: pack with mixed filters, list, extract, append, the SPEC grammar,
// globs, exit codes, and extraction that cannot escape its folder.
#include "archive/resource_archive.h"
#include "archive_test_support.h"
#include "commands.h"
#include "demotool_test_support.h"
#include "filter_chain_text.h"
#include "glob_match.h"

#include <CLI/CLI.hpp>

#include <sys/stat.h>

namespace {

bool hasTemporaryFiles(const std::filesystem::path& folder)
{
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        if (item.path().filename().string().find(".tmp-") != std::string::npos)
            return true;
    }
    return false;
}

class DemotoolTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::map<std::string, Bytes> files;

    void SetUp() override
    {
        Bytes ramp(3000);
        for (std::size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = static_cast<std::uint8_t>(i / 2);
        files = {{"demo.psc", wordyBytes(4000, 1)},
                 {"tex/wall.png", randomBytes(700, 2)},
                 {"mesh/deep/v.bin", ramp},
                 {"music/song.ogg", randomBytes(1500, 3)},
                 {"empty.txt", {}}};
        for (const auto& [name, bytes] : files)
            writeFile(scratch / ("src/" + name), bytes);
    }

    std::string path(const std::string& name) const { return (scratch / name).string(); }

    ToolRun packMixed()
    {
        return demotool({"pack", "-o", path("out.cfl"), "-C", path("src"), "--filter", "zlib", "--filter-for",
                         "*.png=none", "--filter-for", "mesh/**=delta16+zlib", "--filter-for", "song.ogg=0x00010000",
                         "--directory-filter", "delta8", "."});
    }
};

} // namespace

TEST_F(DemotoolTest, MixedFiltersPackListAndExtractByteExact)
{
    ASSERT_EQ(packMixed().code, 0);
    const ToolRun list = demotool({"list", path("out.cfl")});
    ASSERT_EQ(list.code, 0) << list.err;
    const std::vector<std::string> expected = {
        "demo.psc\t4000\t%\t0x00000001\tzlib",       "empty.txt\t0\t%\t0x00000001\tzlib",
        "mesh/deep/v.bin\t3000\t%\t0x00020001\tdelta16+zlib", "music/song.ogg\t1500\t1500\t0x00010000\tdelta8",
        "tex/wall.png\t700\t700\t0x00000000\tnone"};
    const std::vector<std::string> listed = lines(list.out);
    ASSERT_EQ(listed.size(), expected.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        // Compressed sizes vary with zlib's version; the rest is fixed.
        const std::string& pattern = expected[i];
        const std::size_t wildcard = pattern.find('%');
        if (wildcard == std::string::npos) {
            EXPECT_EQ(listed[i], pattern);
            continue;
        }
        EXPECT_EQ(listed[i].substr(0, wildcard), pattern.substr(0, wildcard));
        EXPECT_TRUE(listed[i].ends_with(pattern.substr(wildcard + 1))) << listed[i];
    }

    ASSERT_EQ(demotool({"extract", path("out.cfl"), "-C", path("dst")}).code, 0);
    ResourceArchive archive;
    ASSERT_TRUE(archive.open(path("out.cfl")));
    for (const auto& [name, bytes] : files) {
        EXPECT_EQ(readFile(scratch / ("dst/" + name)), bytes) << name;
        EXPECT_EQ(archive.read(name), bytes) << name;
    }
    EXPECT_FALSE(hasTemporaryFiles(scratch.path()));
}

TEST_F(DemotoolTest, AppendMakesAnExecutableOneFileDemo)
{
    writeFile(scratch / "player", randomBytes(5000, 8));
    ASSERT_EQ(demotool({"pack", "-o", path("out.cfl"), "-C", path("src"), "demo.psc", "tex"}).code, 0);
    ASSERT_EQ(demotool({"append", path("player"), path("out.cfl"), "-o", path("demo")}).code, 0);

    struct stat status {};
    ASSERT_EQ(::stat(path("demo").c_str(), &status), 0);
    EXPECT_NE(status.st_mode & S_IXUSR, 0u);
    const Bytes demo = readFile(scratch / "demo");
    const Bytes player = readFile(scratch / "player");
    EXPECT_TRUE(std::equal(player.begin(), player.end(), demo.begin()));

    const ToolRun list = demotool({"list", path("demo")});
    EXPECT_EQ(list.code, 0);
    EXPECT_EQ(lines(list.out).size(), 2u);
    ResourceArchive archive;
    ASSERT_TRUE(archive.open(path("demo")));
    EXPECT_EQ(archive.read("tex/wall.png"), files["tex/wall.png"]);
    ASSERT_EQ(demotool({"extract", path("demo"), "-C", path("x"), "demo.psc"}).code, 0);
    EXPECT_EQ(readFile(scratch / "x/demo.psc"), files["demo.psc"]);
    EXPECT_FALSE(std::filesystem::exists(scratch / "x/tex"));

    // Only a stand-alone container can be appended.
    EXPECT_EQ(demotool({"append", path("player"), path("demo"), "-o", path("again")}).code, 1);
    EXPECT_EQ(demotool({"append", path("player"), path("player"), "-o", path("again")}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(scratch / "again"));
}

TEST_F(DemotoolTest, ExitCodesForHelpUsageAndBadInput)
{
    for (const char* command : {"pack", "list", "extract", "append"}) {
        const ToolRun help = demotool({command, "--help"});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_NE(help.out.find(command), std::string::npos);
    }
    EXPECT_EQ(demotool({}).code, 2);
    EXPECT_EQ(demotool({"frobnicate"}).code, 2);
    EXPECT_EQ(demotool({"pack", path("src")}).code, 2);                         // no -o
    EXPECT_EQ(demotool({"pack", "-o", path("o.cfl"), "--filter", "lzma", path("src")}).code, 2);
    EXPECT_EQ(demotool({"pack", "-o", path("o.cfl"), "--filter-for", "*.png", path("src")}).code, 2);
    EXPECT_EQ(demotool({"pack", "-o", path("o.cfl"), "--filter", "0x01000000", path("src")}).code, 2);

    const ToolRun notContainer = demotool({"list", path("src/demo.psc")});
    EXPECT_EQ(notContainer.code, 1);
    EXPECT_EQ(lines(notContainer.err).size(), 1u);
    EXPECT_EQ(demotool({"pack", "-o", path("o.cfl"), "-C", path("src"), "missing.txt"}).code, 1);
    EXPECT_EQ(demotool({"pack", "-o", path("o.cfl"), "-C", path("src/tex"), "../demo.psc"}).code, 1);
    EXPECT_EQ(demotool({"pack", "-o", path("nofolder/o.cfl"), "-C", path("src"), "."}).code, 1);
    ASSERT_EQ(packMixed().code, 0);
    EXPECT_EQ(demotool({"extract", path("out.cfl"), "-C", path("dst"), "absent.txt"}).code, 1);
    EXPECT_FALSE(std::filesystem::exists(scratch / "o.cfl"));
    EXPECT_FALSE(hasTemporaryFiles(scratch.path()));
}

TEST_F(DemotoolTest, PackSkipsItsOwnOutputAndDuplicatePaths)
{
    const std::string inside = path("src/self.cfl");
    ASSERT_EQ(demotool({"pack", "-o", inside, "-C", path("src"), ".", "demo.psc"}).code, 0);
    ASSERT_EQ(demotool({"pack", "-o", inside, "-C", path("src"), ".", "demo.psc"}).code, 0);
    const ToolRun list = demotool({"list", inside});
    EXPECT_EQ(lines(list.out).size(), files.size());
    EXPECT_EQ(list.out.find("self.cfl"), std::string::npos);
}

TEST_F(DemotoolTest, ExtractRefusesNamesThatLeaveTheFolder)
{
    for (const std::string bad : {"../evil", "/abs/evil", "a/../../evil", "a\\..\\evil", "C:evil", "dir/"}) {
        writeFile(scratch / "bad.cfl", containerOf({{"fine.txt", bytesOf("ok"), 0}, {bad, bytesOf("evil"), 0}}));
        const ToolRun run = demotool({"extract", path("bad.cfl"), "-C", path("dst")});
        EXPECT_EQ(run.code, 1) << bad;
        EXPECT_NE(run.err.find("refusing"), std::string::npos) << run.err;
        // Names are checked before anything is written.
        EXPECT_FALSE(std::filesystem::exists(scratch / "dst/fine.txt")) << bad;
    }
    EXPECT_FALSE(std::filesystem::exists(scratch / "evil"));
}

TEST_F(DemotoolTest, ExtractNeverFollowsASymlinkOutOfTheFolder)
{
    std::filesystem::create_directories(scratch / "dst");
    std::filesystem::create_directories(scratch / "outside");
    writeFile(scratch / "outside/target", bytesOf("keep"));
    std::filesystem::create_directory_symlink(scratch / "outside", scratch / "dst/sub");
    std::filesystem::create_symlink(scratch / "outside/target", scratch / "dst/link");

    writeFile(scratch / "a.cfl", containerOf({{"sub/x", bytesOf("evil"), 0}}));
    const ToolRun run = demotool({"extract", path("a.cfl"), "-C", path("dst")});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(std::filesystem::exists(scratch / "outside/x"));

    // A link in the file's own place is replaced by the file, its target left alone.
    writeFile(scratch / "b.cfl", containerOf({{"link", bytesOf("new"), 0}}));
    ASSERT_EQ(demotool({"extract", path("b.cfl"), "-C", path("dst")}).code, 0);
    EXPECT_FALSE(std::filesystem::is_symlink(scratch / "dst/link"));
    EXPECT_EQ(readFile(scratch / "dst/link"), bytesOf("new"));
    EXPECT_EQ(readFile(scratch / "outside/target"), bytesOf("keep"));
}

TEST(FilterSpec, GrammarAndWords)
{
    EXPECT_EQ(parseFilterChain("none"), 0x00000000u);
    EXPECT_EQ(parseFilterChain("zlib"), 0x00000001u);
    EXPECT_EQ(parseFilterChain("ZLIB"), 0x00000001u);
    EXPECT_EQ(parseFilterChain("delta8"), 0x00010000u);
    EXPECT_EQ(parseFilterChain("delta32+zlib"), 0x00030001u);
    EXPECT_EQ(parseFilterChain("0x00020001"), 0x00020001u);
    EXPECT_EQ(parseFilterChain("0x101"), 0x00000101u);
    EXPECT_EQ(parseFilterChain("65536"), 0x00010000u);
    for (const char* bad : {"", "0x", "zlib+delta8", "delta8+", "delta64", "0x01000000", "0x1g", "0x100000000", "-1"})
        EXPECT_FALSE(parseFilterChain(bad).has_value()) << bad;

    EXPECT_EQ(filterIdWords(0x00000000), "none");
    EXPECT_EQ(filterIdWords(0x00020001), "delta16+zlib");
    EXPECT_EQ(filterIdWords(0x00030000), "delta32");
    EXPECT_EQ(filterIdWords(0x00000101), "zlib");
    EXPECT_EQ(filterIdWords(0x01000000), "unknown");
}

TEST(GlobMatch, FolderAwareWildcards)
{
    EXPECT_TRUE(globMatch("*.png", "tex/deep/a.png"));
    EXPECT_FALSE(globMatch("*.png", "tex/a.png.bak"));
    EXPECT_TRUE(globMatch("tex/*.png", "tex/a.png"));
    EXPECT_FALSE(globMatch("tex/*.png", "tex/deep/a.png"));
    EXPECT_TRUE(globMatch("tex/**.png", "tex/deep/a.png"));
    EXPECT_TRUE(globMatch("mesh/**", "mesh/a/b/c"));
    EXPECT_TRUE(globMatch("a/**/b", "a/b"));
    EXPECT_TRUE(globMatch("a/**/b", "a/x/y/b"));
    EXPECT_TRUE(globMatch("song?.ogg", "music/song1.ogg"));
    EXPECT_FALSE(globMatch("song?.ogg", "music/song12.ogg"));
    EXPECT_TRUE(globMatch("[a-c]*.psk", "b1.psk"));
    EXPECT_FALSE(globMatch("[!a-c]*.psk", "b1.psk"));
    EXPECT_TRUE(globMatch("[x", "[x"));
    EXPECT_FALSE(globMatch("Demo.psc", "demo.psc"));
}
