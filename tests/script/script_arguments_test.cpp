// Argument readings: integers and numbers follow the C library's prefix rules, times add the
// include offset, slots fold case; malformed text reads as 0 or its leading numeric part.
#include "script/script_arguments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(ScriptArguments, IntegerReadsLeadingDigitsLikeAtol) {
    EXPECT_EQ(readInteger("1500"), 1500);
    EXPECT_EQ(readInteger("1500.9"), 1500);
    EXPECT_EQ(readInteger("  -42abc"), -42);
    EXPECT_EQ(readInteger("+7"), 7);
    EXPECT_EQ(readInteger("\v\f12"), 12);
    EXPECT_EQ(readInteger("abc"), 0);
    EXPECT_EQ(readInteger(""), 0);
    EXPECT_EQ(readInteger("-"), 0);
    EXPECT_EQ(readInteger("- 5"), 0);
    EXPECT_EQ(readInteger("0x1F"), 0);
    EXPECT_EQ(readInteger("1e3"), 1);
}

TEST(ScriptArguments, IntegerCoversTheSigned32BitRangeAndSaturatesBeyond) {
    EXPECT_EQ(readInteger("2147483647"), 2147483647);
    EXPECT_EQ(readInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readInteger("2147483648"), 2147483647);
    EXPECT_EQ(readInteger("-2147483649"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(readInteger("99999999999999999999999999999999"), 2147483647);
    EXPECT_EQ(readInteger("-00000000000000000000000000000003"), -3);
}

TEST(ScriptArguments, NumberReadsDecimalFractionsAndExponentsLikeAtof) {
    EXPECT_FLOAT_EQ(readNumber("0.5"), 0.5f);
    EXPECT_FLOAT_EQ(readNumber("1500.9"), 1500.9f);
    EXPECT_FLOAT_EQ(readNumber("-.25"), -0.25f);
    EXPECT_FLOAT_EQ(readNumber("5."), 5.0f);
    EXPECT_FLOAT_EQ(readNumber("+2.5e2"), 250.0f);
    EXPECT_FLOAT_EQ(readNumber("2.5E-1x"), 0.25f);
    EXPECT_FLOAT_EQ(readNumber(" \t3.5"), 3.5f);
    // An exponent without digits is not part of the number.
    EXPECT_FLOAT_EQ(readNumber("7e"), 7.0f);
    EXPECT_FLOAT_EQ(readNumber("7e+"), 7.0f);
    EXPECT_FLOAT_EQ(readNumber("1,5"), 1.0f);
    EXPECT_EQ(readNumber("."), 0.0f);
    EXPECT_EQ(readNumber("e5"), 0.0f);
    EXPECT_EQ(readNumber("nan"), 0.0f);
    EXPECT_EQ(readNumber("inf"), 0.0f);
    EXPECT_EQ(readNumber("0x10"), 0.0f);
}

TEST(ScriptArguments, NumberOverflowsToInfinityAndUnderflowsToZero) {
    EXPECT_EQ(readNumber("1e999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(readNumber("-1e999"), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(readNumber("1e-999"), 0.0f);
    EXPECT_EQ(readNumber("0.0000001e-400"), 0.0f);
    // Beyond float but within double: the float conversion overflows.
    EXPECT_EQ(readNumber("1e100"), std::numeric_limits<float>::infinity());
}

TEST(ScriptArguments, TimeIsWholeMillisecondsPlusTheOffset) {
    EXPECT_EQ(readTime("1500.9", 0.0f), 1500.0f);
    EXPECT_EQ(readTime("1000", 60000.0f), 61000.0f);
    EXPECT_EQ(readTime("", 500.0f), 500.0f);
    EXPECT_EQ(readTime("-250", 0.5f), -249.5f);
}

TEST(ScriptArguments, SlotNamesFoldAsciiLettersOnly) {
    EXPECT_EQ(readSlot("TITLE"), "title");
    EXPECT_EQ(readSlot("Logo_2.PNG"), "logo_2.png");
    // Bytes of the upper code page half are kept as they are.
    EXPECT_EQ(readSlot("\xC4X"), "\xC4x");
}
