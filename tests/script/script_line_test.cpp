// Cutting script text into lines and lines into keyword and arguments.
#include "script/script_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> pieces(std::string_view text) {
    std::vector<std::string> result;
    std::size_t position = 0;
    std::string_view piece;
    while (nextLinePiece(text, position, piece)) result.emplace_back(piece);
    return result;
}

}  // namespace

TEST(ScriptLineCutting, RunsOfLineFeedsSeparateOnceAndYieldNoEmptyPieces) {
    EXPECT_EQ(pieces("a\n\n\nb\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(pieces("\n\na"), (std::vector<std::string>{"a"}));
    EXPECT_TRUE(pieces("").empty());
    EXPECT_TRUE(pieces("\n\n").empty());
    // Carriage returns are not separators: a CR-only piece is a piece.
    EXPECT_EQ(pieces("a\r\n\r\nb"), (std::vector<std::string>{"a\r", "\r", "b"}));
}

TEST(ScriptLineTrimming, TrimsSpacesAndCarriageReturnsButNotTabs) {
    EXPECT_EQ(trimLine("  wait 10 \r"), "wait 10");
    EXPECT_EQ(trimLine("\r \r"), "");
    EXPECT_EQ(trimLine("\twait 10\t"), "\twait 10\t");
    EXPECT_TRUE(isBlankOrComment(trimLine("   # note")));
    EXPECT_TRUE(isBlankOrComment(trimLine(" \r ")));
    EXPECT_FALSE(isBlankOrComment(trimLine("\t# note")));
    EXPECT_FALSE(isBlankOrComment(trimLine("wait 100 # fifty")));
}

TEST(ScriptLineTokens, KeywordIsLowerCasedAndBlanksOfAnyMixSeparate) {
    for (const char* text : {"WaitUntil 5", "WAITUNTIL\t5", "waituntil \t \t5\t ", "\t waituntil 5"}) {
        const ScriptLine line = tokenizeLine(text, 0.0f);
        EXPECT_EQ(line.keyword, "waituntil") << text;
        EXPECT_EQ(line.args[0], "5") << text;
        EXPECT_EQ(line.args[1], "") << text;
        EXPECT_EQ(line.text, text);
    }
}

TEST(ScriptLineTokens, KeepsFiveArgumentsIgnoresTheRestAndLeavesMissingOnesEmpty) {
    const ScriptLine full = tokenizeLine("Cmd A b C d E f g", 2.5f);
    EXPECT_EQ(full.keyword, "cmd");
    EXPECT_EQ(full.args, (std::array<std::string, 5>{"A", "b", "C", "d", "E"}));
    EXPECT_EQ(full.timeOffset, 2.5f);

    const ScriptLine bare = tokenizeLine("stopmusic", 0.0f);
    EXPECT_EQ(bare.keyword, "stopmusic");
    for (const std::string& arg : bare.args) EXPECT_TRUE(arg.empty());
}

TEST(ScriptLineTokens, OtherWhiteSpaceAroundTokensIsTrimmed) {
    const ScriptLine line = tokenizeLine("wait\v 100\r \f", 0.0f);
    EXPECT_EQ(line.keyword, "wait");
    EXPECT_EQ(line.args[0], "100");
    EXPECT_EQ(line.args[1], "");
}

TEST(ScriptLineTokens, HashTokenAfterATabIsTheKeyword) {
    const ScriptLine line = tokenizeLine("\t# note", 0.0f);
    EXPECT_EQ(line.keyword, "#");
    EXPECT_EQ(line.args[0], "note");
    // A line of tabs only has no keyword at all.
    EXPECT_EQ(tokenizeLine("\t\t", 0.0f).keyword, "");
}
