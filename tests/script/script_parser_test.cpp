// The parser on in-memory files: which lines become commands, their line numbers, include
// expansion with non-accumulating offsets, and the lines it refuses (unknown keywords and
// include cycles).
#include "script/in_memory_script_source.h"
#include "script/script_parser.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// Accepts every keyword but those listed as unknown and records what it was given.
struct RecordingSink {
    std::set<std::string> unknown{"#", "", "bogus"};
    std::vector<ScriptLine> lines;
    int fileEnds = 0;

    std::optional<ScriptError> parse(InMemoryScriptSource& source, const std::string& file, float offset = 0.0f) {
        ScriptParser parser(source);
        return parser.parse(
            file, offset,
            [this](const ScriptLine& line) {
                if (unknown.count(line.keyword)) return false;
                lines.push_back(line);
                return true;
            },
            [this] { ++fileEnds; });
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const ScriptLine& line : lines) result.push_back(line.text);
        return result;
    }
};

}  // namespace

TEST(ScriptParser, BlankAndCommentLinesMakeNoCommand) {
    InMemoryScriptSource source;
    source.files["demo.psc"] =
        "# anything\n"
        "   # anything\n"
        "  \r\n"
        "wait 100 # fifty\n"
        "\n\n"
        "  loadimage Logo.PNG Title  \n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"wait 100 # fifty", "loadimage Logo.PNG Title"}));
    EXPECT_EQ(sink.lines[0].args[0], "100");
    EXPECT_EQ(sink.lines[0].args[1], "#");
    EXPECT_EQ(sink.fileEnds, 1);
}

TEST(ScriptParser, TokensSplitAtBlankRunsAndOnlyFiveArgumentsAreKept) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "\t CMD \t A  b\tC d E f g\nstopmusic\nwait\v 100\r \f\n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    ASSERT_EQ(sink.lines.size(), 3u);
    EXPECT_EQ(sink.lines[0].keyword, "cmd");
    EXPECT_EQ(sink.lines[0].args, (std::array<std::string, 5>{"A", "b", "C", "d", "E"}));
    EXPECT_EQ(sink.lines[1].args, (std::array<std::string, 5>{}));
    // Other white space around a token is trimmed off it.
    EXPECT_EQ(sink.lines[2].keyword, "wait");
    EXPECT_EQ(sink.lines[2].args[0], "100");
}

TEST(ScriptParser, MissingFileAddsNothingAndIsNoError) {
    InMemoryScriptSource source;
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    EXPECT_TRUE(sink.lines.empty());
    EXPECT_EQ(sink.fileEnds, 0);
}

TEST(ScriptParser, UnknownKeywordReportsTheWholeTrimmedLineFileAndLine) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "wait 1\n  Bogus  Arg 2 \r\nwait 2\n";
    RecordingSink sink;
    const std::optional<ScriptError> error = sink.parse(source, "demo.psc");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), "Invalid command 'Bogus  Arg 2' in script demo.psc, line 2!");
    // Lines before the bad one have been handed over, none after it.
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"wait 1"}));
}

TEST(ScriptParser, LineNumbersCountPiecesNotLineFeedRuns) {
    InMemoryScriptSource source;
    // Four pieces: a comment, a blank of spaces, a command and the bad line; the runs of line
    // feeds between them add nothing.
    source.files["demo.psc"] = "\n\n# c\n\n\n   \nwait 1\n\n\n\nbogus\n";
    RecordingSink sink;
    const std::optional<ScriptError> error = sink.parse(source, "demo.psc");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->lineNumber, 4);
}

TEST(ScriptParser, CarriageReturnPiecesCountAsLines) {
    InMemoryScriptSource source;
    // Archive bytes keep CR LF: each blank line is a piece of its own "\r".
    source.files["demo.psc"] = "wait 1\r\n\r\n\r\nbogus\r\n";
    RecordingSink sink;
    const std::optional<ScriptError> error = sink.parse(source, "demo.psc");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->lineNumber, 4);
    EXPECT_EQ(error->line, "bogus");
}

TEST(ScriptParser, ZeroByteEndsTheText) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = std::string("wait 1\nwait 2\0bogus\n", 20);
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"wait 1", "wait 2"}));
}

TEST(ScriptParser, IncludesExpandInPlaceWithTheirOwnOffsets) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "wait 1\ninclude part2.psc 60000\nwait 4\n";
    source.files["part2.psc"] = "waituntil 1000\ninclude part3.psc 500\nwait 3\n";
    source.files["part3.psc"] = "waituntil 2\n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc", 7.0f));
    EXPECT_EQ(sink.texts(), (std::vector<std::string>{"wait 1", "waituntil 1000", "waituntil 2", "wait 3", "wait 4"}));
    std::vector<float> offsets;
    for (const ScriptLine& line : sink.lines) offsets.push_back(line.timeOffset);
    // part3's offset is its own 500, not 60500; the top file keeps the offset it was loaded with.
    EXPECT_EQ(offsets, (std::vector<float>{7.0f, 60000.0f, 500.0f, 60000.0f, 7.0f}));
    EXPECT_EQ(sink.fileEnds, 3);
}

TEST(ScriptParser, IncludeOffsetIsANumberAndMissingIncludesAreSkipped) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "include nothere.psc 5\ninclude part.psc 2.5\ninclude part.psc\n";
    source.files["part.psc"] = "wait 1\n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[0].timeOffset, 2.5f);
    EXPECT_EQ(sink.lines[1].timeOffset, 0.0f);
}

TEST(ScriptParser, IndirectCycleIsRefusedWhereItCloses) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "include a.psc 0\n";
    source.files["a.psc"] = "include b.psc 0\n";
    source.files["b.psc"] = "wait 1\n\ninclude a.psc 100\n";
    RecordingSink sink;
    const std::optional<ScriptError> error = sink.parse(source, "demo.psc");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), "Invalid command 'include a.psc 100' in script b.psc, line 2!");
}

TEST(ScriptParser, IncludingTheSameFileTwiceInSequenceIsNoCycle) {
    InMemoryScriptSource source;
    source.files["demo.psc"] = "include part.psc 0\ninclude part.psc 1000\n";
    source.files["part.psc"] = "waituntil 1\n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "demo.psc"));
    ASSERT_EQ(sink.lines.size(), 2u);
    EXPECT_EQ(sink.lines[1].timeOffset, 1000.0f);
}

TEST(ScriptParser, DeepIncludeChainsDoNotUseTheCallStack) {
    InMemoryScriptSource source;
    constexpr int depth = 20000;
    for (int i = 0; i < depth; ++i) {
        source.files["f" + std::to_string(i)] = "include f" + std::to_string(i + 1) + " " + std::to_string(i) + "\n";
    }
    source.files["f" + std::to_string(depth)] = "wait 1\n";
    RecordingSink sink;
    EXPECT_FALSE(sink.parse(source, "f0"));
    ASSERT_EQ(sink.lines.size(), 1u);
    EXPECT_EQ(sink.lines[0].timeOffset, static_cast<float>(depth - 1));
    EXPECT_EQ(sink.fileEnds, depth + 1);
}
