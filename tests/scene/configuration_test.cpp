// The property store: line splitting, comments, '=' runs, first occurrence wins, lowered keys,
// and C-library number conversion that the process locale does not change.
#include "scene/configuration.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LineCase {
    const char* line;
    const char* key; // null: nothing stored
    const char* value;
};

TEST(Configuration, EachLineGivesTheKeyAndValueOfTheRules)
{
    const LineCase cases[] = {
        {"Loader = yes", "loader", "yes"},
        {"  FOO  =  some text  ", "foo", "some text"},
        {"flag", "flag", ""},
        {"=x", "x", ""},
        {"a=b=c", "a", "b"},
        {"a==b", "a", "b"},
        {"key=", "key", ""},
        {"key = = =", "key", ""},
        {"\tTabbed\t=\tv\t", "tabbed", "v"},
        {" # note", "# note", ""},
        {"Mixed=Case Value", "mixed", "Case Value"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.line);
        Configuration properties;
        properties.parse(c.line);
        EXPECT_EQ(properties.size(), 1u);
        const char* value = properties.getString(c.key);
        ASSERT_NE(value, nullptr);
        EXPECT_STREQ(value, c.value);
    }
}

TEST(Configuration, CommentsEmptyLinesAndEqualsRunsStoreNothing)
{
    for (const char* text : {"# note", "", "=", "===", "\n\n\n", "\r\n\r\n", "#a=b\n#c"}) {
        SCOPED_TRACE(text);
        Configuration properties;
        properties.parse(text);
        EXPECT_EQ(properties.size(), 0u);
    }
}

TEST(Configuration, LineEndingsAndBlankLinesDoNotChangeTheResult)
{
    Configuration lf;
    lf.parse("a=1\nb=two\n\n\nc=3.5\n");
    Configuration crlf;
    crlf.parse("a=1\r\nb=two\r\n\r\n\r\nc=3.5\r\n");
    Configuration cr;
    cr.parse("\r\ra=1\r\nb=two\r\r\nc=3.5\r");
    for (const Configuration* properties : {&lf, &crlf, &cr}) {
        EXPECT_EQ(properties->size(), 3u);
        EXPECT_EQ(properties->getInt("a"), 1);
        EXPECT_STREQ(properties->getString("b"), "two");
        EXPECT_EQ(properties->getFloat("c"), 3.5f);
    }
}

TEST(Configuration, TheFirstOccurrenceOfAKeyWinsWhateverItsCase)
{
    Configuration properties;
    properties.parse("Looping=1\nlooping=0\n");
    properties.parse("LOOPING=2\n");
    EXPECT_EQ(properties.getInt("looping"), 1);
    EXPECT_EQ(properties.size(), 1u);
}

TEST(Configuration, LookupsAreCaseInsensitiveAndParsingStopsAtNul)
{
    Configuration properties;
    properties.parse("animations=3\nhidden=1");
    properties.parse(std::string("cut=1\0after=2", 13));
    EXPECT_EQ(properties.getInt("ANIMATIONS"), 3);
    EXPECT_EQ(properties.getInt("Animations"), 3);
    EXPECT_NE(properties.getString("cut"), nullptr);
    EXPECT_EQ(properties.getString("after"), nullptr);
}

TEST(Configuration, AbsentKeysReadAsNullAndZero)
{
    Configuration properties;
    properties.parse("present=");
    EXPECT_EQ(properties.getString("absent"), nullptr);
    EXPECT_EQ(properties.getInt("absent"), 0);
    EXPECT_EQ(properties.getFloat("absent"), 0.0f);
    ASSERT_NE(properties.getString("present"), nullptr);
    EXPECT_STREQ(properties.getString("present"), "");
}

struct NumberCase {
    const char* value;
    int asInt;
    float asFloat;
};

TEST(Configuration, NumbersFollowAtoiAndAtof)
{
    const NumberCase cases[] = {
        {"1.5 and more", 1, 1.5f},  {"word", 0, 0.0f},        {"  -42x", -42, -42.0f}, {"+7", 7, 7.0f},
        {"2e3", 2, 2000.0f},        {".25", 0, 0.25f},        {"99999999999", 2147483647, 99999999999.0f},
        {"-99999999999", -2147483647 - 1, -99999999999.0f}, {"0x10", 0, 16.0f},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.value);
        Configuration properties;
        properties.parse(std::string("n=") + c.value);
        EXPECT_EQ(properties.getInt("n"), c.asInt);
        EXPECT_FLOAT_EQ(properties.getFloat("n"), c.asFloat);
    }
}

} // namespace
