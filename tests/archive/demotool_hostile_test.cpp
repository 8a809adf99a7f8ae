// demotool against hostile containers and folders: names that would forge rows, reach the
// terminal or cut a message short; duplicated names; damaged entries among good ones; links
// that lead out of the packed folder; links and files planted where a write goes.
#include "archive_test_support.h"
#include "demotool_test_support.h"
#include "file_io.h"
#include "name_text.h"

#include <sys/stat.h>

namespace {

using namespace std::string_literals;

class DemotoolHostileTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::string path(const std::string& name) const { return (scratch / name).string(); }

    // Records in this order; "dup" twice, the later one five bytes long.
    std::string writeNastyContainer()
    {
        writeFile(scratch / "nasty.cfl", containerOf({{"a\nb", bytesOf("1"), 0},
                                                      {"tab\there", bytesOf("2"), 0},
                                                      {"esc\x1b[31mred", bytesOf("3"), 0},
                                                      {"nul\0x"s, bytesOf("4"), 0},
                                                      {"dup", bytesOf("old"), 0},
                                                      {"caf\xc3\xa9 \xff", bytesOf("6"), 1},
                                                      {"dup", bytesOf("newer"), 1}},
                                                     0));
        return path("nasty.cfl");
    }
};

} // namespace

TEST(NameText, CEscapingAndJsonKeepEveryByteVisibleAndTheRowIntact)
{
    struct Case {
        std::string name, escaped, json;
    };
    const Case cases[] = {
        {"plain/name.psc", "plain/name.psc", "\"plain/name.psc\""},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd", "\"a\\nb\\tc\\rd\""},
        {"q\"b\\", "q\\\"b\\\\", "\"q\\\"b\\\\\""},
        {"nul\0x"s, "nul\\000x", "\"nul\\u0000x\""},
        {"\x1b[2J", "\\033[2J", "\"\\u001b[2J\""},
        {"caf\xc3\xa9", "caf\xc3\xa9", "\"caf\xc3\xa9\""},
        {"\xc2\x9b" "1m", "\\302\\2331m", "\"\\u009b1m\""},        // a C1 control in UTF-8
        {"bad\xff\xc3", "bad\\377\\303", "\"bad\\ufffd\\ufffd\""}, // not UTF-8
        {"\xc0\xaf", "\\300\\257", "\"\\ufffd\\ufffd\""},          // overlong "/"
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cEscapedName(c.name), c.escaped) << c.escaped;
        EXPECT_EQ(jsonString(c.name), c.json) << c.escaped;
    }
    EXPECT_TRUE(isValidUtf8("caf\xc3\xa9"));
    EXPECT_FALSE(isValidUtf8("bad\xff"));
    EXPECT_EQ(hexBytes("\x01\xff"), "01ff");
}

TEST_F(DemotoolHostileTest, ListShowsTheRecordThePlayerUsesEscapedAndAllWithMarks)
{
    const std::string box = writeNastyContainer();
    const ToolRun used = demotool({"list", box});
    ASSERT_EQ(used.code, 0) << used.err;
    const std::vector<std::string> expected = {
        "a\\nb\t1\t1\t0x00000000\tnone",       "tab\\there\t1\t1\t0x00000000\tnone",
        "esc\\033[31mred\t1\t1\t0x00000000\tnone", "nul\\000x\t1\t1\t0x00000000\tnone",
    };
    const std::vector<std::string> rows = lines(used.out);
    ASSERT_EQ(rows.size(), 6u) << used.out;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(rows[i], expected[i]);
    EXPECT_TRUE(rows[4].starts_with("caf\xc3\xa9 \\377\t1\t")) << rows[4];
    EXPECT_TRUE(rows[5].starts_with("dup\t5\t")) << rows[5];

    const ToolRun all = demotool({"list", "--all", box});
    const std::vector<std::string> allRows = lines(all.out);
    ASSERT_EQ(allRows.size(), 7u) << all.out;
    EXPECT_EQ(allRows[4], "dup\t3\t3\t0x00000000\tnone\tshadowed");
    EXPECT_TRUE(allRows[6].starts_with("dup\t5\t") && allRows[6].ends_with("\tused")) << allRows[6];
}

TEST_F(DemotoolHostileTest, ListJsonIsOneObjectPerRecordWithEscapedNames)
{
    const std::string box = writeNastyContainer();
    const ToolRun json = demotool({"list", "--json", box});
    ASSERT_EQ(json.code, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with("[\n  {\"name\": \"a\\nb\", \"declaredSize\": 1, \"storedSize\": 1, "
                                     "\"filterId\": \"0x00000000\", \"filters\": \"none\", \"shadowed\": false},\n"))
        << json.out;
    EXPECT_NE(json.out.find("{\"name\": \"nul\\u0000x\""), std::string::npos);
    EXPECT_NE(json.out.find("\"caf\xc3\xa9 \\ufffd\", \"nameHex\": \"636166c3a920ff\""), std::string::npos);
    EXPECT_TRUE(json.out.ends_with("}\n]\n"));
    // Every raw control byte is gone: the output is one line per record plus the brackets.
    EXPECT_EQ(lines(json.out).size(), 6u + 2u);
    EXPECT_EQ(json.out.find('\x1b'), std::string::npos);

    const ToolRun all = demotool({"list", "--json", "--all", box});
    EXPECT_NE(all.out.find("{\"name\": \"dup\", \"declaredSize\": 3, \"storedSize\": 3, \"filterId\": \"0x00000000\", "
                           "\"filters\": \"none\", \"shadowed\": true}"),
              std::string::npos)
        << all.out;
    writeFile(scratch / "empty.cfl", containerOf({}, 0));
    EXPECT_EQ(demotool({"list", "--json", path("empty.cfl")}).out, "[]\n");
}

TEST_F(DemotoolHostileTest, ExtractGoesOnPastDamagedEntriesAndNamesEachAtTheEnd)
{
    Bytes box = containerOf({{"first", bytesOf("one"), 0},
                             {"broken\tname", bytesOf("xx"), 0},
                             {"middle", bytesOf("two"), 0},
                             {"also-broken", bytesOf("yy"), 0},
                             {"last", bytesOf("three"), 0}},
                            0);
    storeU32LE(box.data() + recordOffset(box, 1) + 8, 0x00000007); // filters nobody registered
    storeU32LE(box.data() + recordOffset(box, 3) + 8, 0x00000007);
    writeFile(scratch / "part.cfl", box);

    const ToolRun run = demotool({"extract", path("part.cfl"), "-C", path("dst")});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(readFile(scratch / "dst/first"), bytesOf("one"));
    EXPECT_EQ(readFile(scratch / "dst/middle"), bytesOf("two"));
    EXPECT_EQ(readFile(scratch / "dst/last"), bytesOf("three"));
    EXPECT_NE(run.err.find("2 of 5 entries damaged, not extracted: \"broken\\tname\", \"also-broken\""),
              std::string::npos)
        << run.err;

    const ToolRun named = demotool({"extract", path("part.cfl"), "-C", path("dst2"), "also-broken", "last"});
    EXPECT_EQ(named.code, 1);
    EXPECT_EQ(readFile(scratch / "dst2/last"), bytesOf("three"));

    // A NUL byte used to end the message there.
    writeFile(scratch / "nul.cfl", containerOf({{"evil\0/../x"s, bytesOf("x"), 0}}, 0));
    const ToolRun nul = demotool({"extract", path("nul.cfl"), "-C", path("dst3")});
    EXPECT_EQ(nul.code, 1);
    EXPECT_NE(nul.err.find("\"evil\\000/../x\": contains a NUL byte"), std::string::npos) << nul.err;
}

TEST_F(DemotoolHostileTest, PackRefusesLinksOutOfTheFolderAndFilesThatAreNotRegular)
{
    writeFile(scratch / "secret", bytesOf("private"));
    writeFile(scratch / "src/demo.psc", bytesOf("wait 1\n"));
    std::filesystem::create_symlink(scratch / "src/demo.psc", scratch / "src/alias.psc");
    EXPECT_EQ(demotool({"pack", "-o", path("inside.cfl"), "-C", path("src"), "."}).code, 0);

    std::filesystem::create_symlink(scratch / "secret", scratch / "src/stolen");
    const ToolRun run = demotool({"pack", "-o", path("out.cfl"), "-C", path("src"), "."});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("outside the packed folder"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(scratch / "out.cfl"));

    std::filesystem::remove(scratch / "src/stolen");
    ASSERT_EQ(::mkfifo(path("src/pipe").c_str(), 0600), 0);
    EXPECT_EQ(demotool({"pack", "-o", path("out.cfl"), "-C", path("src"), "."}).code, 0); // a pipe is skipped
    EXPECT_EQ(demotool({"pack", "-o", path("out.cfl"), "-C", path("src"), "pipe"}).code, 1);
    EXPECT_THROW(readFileBytes(scratch / "src/pipe"), std::exception);
}

TEST_F(DemotoolHostileTest, AtomicWritesNeverFollowAPlantedLinkOrTrustAGuessableName)
{
    writeFile(scratch / "victim", bytesOf("keep"));
    std::filesystem::create_symlink(scratch / "victim", scratch / "out.png");
    // Where a temporary with a predictable name would be made.
    for (int i = 0; i < 4; ++i)
        std::filesystem::create_symlink(scratch / "victim", scratch / (".out.png.tmp-" + std::to_string(::getpid()) + "-" + std::to_string(i)));
    std::filesystem::create_symlink(scratch / "victim", scratch / "out.png.partial");

    writeFileAtomically(scratch / "out.png", bytesOf("frame"));
    EXPECT_FALSE(std::filesystem::is_symlink(scratch / "out.png"));
    EXPECT_EQ(readFile(scratch / "out.png"), bytesOf("frame"));
    EXPECT_EQ(readFile(scratch / "victim"), bytesOf("keep"));
}
