// Parsing of image sequence files: both header forms, skipped lines, times and loop length.

#include "content2d/image_sequence_file.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

std::vector<std::string> namesOf(const ImageSequenceListing& listing)
{
    std::vector<std::string> names;
    for (const auto& entry : listing.entries) names.push_back(entry.fileName);
    return names;
}

std::vector<float> timesOf(const ImageSequenceListing& listing)
{
    std::vector<float> times;
    for (const auto& entry : listing.entries) times.push_back(entry.timeMs);
    return times;
}

TEST(ImageSequenceFileTest, RateLineGivesEvenlySpacedFramesAndTheLoopLength)
{
    const ImageSequenceListing listing = parseImageSequence("fps=25\na.png\nb.png\nc.png\n");
    EXPECT_EQ(namesOf(listing), (std::vector<std::string>{"a.png", "b.png", "c.png"}));
    EXPECT_EQ(timesOf(listing), (std::vector<float>{0, 40, 80}));
    EXPECT_FLOAT_EQ(listing.loopLengthMs, 80.0f * 4 / 3); // ≈ 106.67, not 120
}

TEST(ImageSequenceFileTest, RateLineIsCaseBlindAndTakesTheNumberBetweenTheFirstTwoEquals)
{
    for (const char* header : {"FPS = 25", "Fps=25", "fps  =  25  ", "fps=25=99", "fpsrate = 25 frames", "fps=\t25\r"}) {
        const ImageSequenceListing listing = parseImageSequence(std::string(header) + "\nx.png\ny.png");
        EXPECT_EQ(timesOf(listing), (std::vector<float>{0, 40})) << header;
    }
    // Fractional and exponent forms are decimal numbers too.
    EXPECT_EQ(timesOf(parseImageSequence("fps=2.5e1\na\nb")), (std::vector<float>{0, 40}));
}

TEST(ImageSequenceFileTest, RateOfZeroOrLessOrMissingPutsEveryFrameAtZero)
{
    for (const char* header : {"fps", "fps=", "fps=0", "fps=-10", "fps=abc", "fps=inf", "fps=nan", "fps=0x20"}) {
        const ImageSequenceListing listing = parseImageSequence(std::string(header) + "\na.png\nb.png");
        EXPECT_EQ(timesOf(listing), (std::vector<float>{0, 0})) << header;
        EXPECT_EQ(listing.loopLengthMs, 0.0f) << header;
    }
}

TEST(ImageSequenceFileTest, WithARateTheWholeTrimmedLineIsTheName)
{
    const ImageSequenceListing listing = parseImageSequence("fps=10\r\n  my frame 1.png \t\r\n");
    EXPECT_EQ(namesOf(listing), (std::vector<std::string>{"my frame 1.png"}));
}

TEST(ImageSequenceFileTest, TimedLinesGiveTimeAndNameAndIgnoreFurtherWords)
{
    const ImageSequenceListing listing =
        parseImageSequence("0 a.png\n100\tb.png extra words\n  250.5   c.png\n-20 d.png\n1e3 e.png\n");
    EXPECT_EQ(namesOf(listing), (std::vector<std::string>{"a.png", "b.png", "c.png", "d.png", "e.png"}));
    EXPECT_EQ(timesOf(listing), (std::vector<float>{0, 100, 250.5f, -20, 1000}));
    EXPECT_FLOAT_EQ(listing.loopLengthMs, 1000.0f * 6 / 5);
}

TEST(ImageSequenceFileTest, TimedLineWithoutANameGivesAnEmptyName)
{
    const ImageSequenceListing listing = parseImageSequence("40\nframe.png\n");
    ASSERT_EQ(listing.entries.size(), 2u);
    EXPECT_EQ(listing.entries[0].fileName, "");
    EXPECT_EQ(listing.entries[0].timeMs, 40.0f);
    // A name where the time should be reads as time 0 and leaves no name.
    EXPECT_EQ(listing.entries[1].fileName, "");
    EXPECT_EQ(listing.entries[1].timeMs, 0.0f);
}

TEST(ImageSequenceFileTest, CommentsAndBlankLinesAreSkippedAndTheFirstLineCanBeAFrame)
{
    const ImageSequenceListing listing = parseImageSequence("10 first.png\n\n\n# 20 skipped.png\n   \n\t\n30 last.png");
    EXPECT_EQ(namesOf(listing), (std::vector<std::string>{"first.png", "last.png"}));
    EXPECT_EQ(timesOf(listing), (std::vector<float>{10, 30}));

    // With a rate, comments take no frame time.
    EXPECT_EQ(timesOf(parseImageSequence("fps=50\na\n#b\nc")), (std::vector<float>{0, 20}));
    // A comment first line is a comment, not a header.
    EXPECT_EQ(namesOf(parseImageSequence("# fps=25\n0 a")), (std::vector<std::string>{"a"}));
}

TEST(ImageSequenceFileTest, FramesKeepFileOrderAndTheLastListedFrameSetsTheLoop)
{
    const ImageSequenceListing listing = parseImageSequence("300 c\n0 a\n100 b");
    EXPECT_EQ(timesOf(listing), (std::vector<float>{300, 0, 100}));
    EXPECT_FLOAT_EQ(listing.loopLengthMs, 100.0f * 4 / 3);
}

TEST(ImageSequenceFileTest, EmptyAndCommentOnlyFilesHaveNoFrames)
{
    for (const char* text : {"", "\n\n", "fps=25", "fps=25\n# nothing\n", "# a\n#b"}) {
        const ImageSequenceListing listing = parseImageSequence(text);
        EXPECT_TRUE(listing.entries.empty()) << text;
        EXPECT_EQ(listing.loopLengthMs, 0.0f);
    }
}

TEST(ImageSequenceFileTest, LeadingDecimalReadsOnlyPlainDecimals)
{
    EXPECT_EQ(leadingDecimal("25"), 25.0f);
    EXPECT_EQ(leadingDecimal("-1.5ms"), -1.5f);
    EXPECT_EQ(leadingDecimal("+.5"), 0.5f);
    EXPECT_EQ(leadingDecimal("3e"), 3.0f);
    EXPECT_EQ(leadingDecimal("3e+"), 3.0f);
    EXPECT_EQ(leadingDecimal("2E2x"), 200.0f);
    EXPECT_EQ(leadingDecimal("."), 0.0f);
    EXPECT_EQ(leadingDecimal("-"), 0.0f);
    EXPECT_EQ(leadingDecimal("0x1F"), 0.0f);
    EXPECT_EQ(leadingDecimal("infinity"), 0.0f);
    EXPECT_EQ(leadingDecimal("nan"), 0.0f);
    EXPECT_EQ(leadingDecimal("1e999"), std::numeric_limits<float>::infinity());
}

TEST(ImageSequenceFileTest, SequenceNamesEndInSeqWhateverTheCase)
{
    EXPECT_TRUE(isSequenceFileName("intro.seq"));
    EXPECT_TRUE(isSequenceFileName("INTRO.SEQ"));
    EXPECT_TRUE(isSequenceFileName("frames_seq"));
    EXPECT_TRUE(isSequenceFileName("seq"));
    EXPECT_FALSE(isSequenceFileName("eq"));
    EXPECT_FALSE(isSequenceFileName("intro.seq.png"));
    EXPECT_FALSE(isSequenceFileName(""));
}

} // namespace
