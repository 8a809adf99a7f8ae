#include "app/clock.h"

#include "app_fixture.h"

#include <cstdint>

using ClockTest = AppTest;

TEST_F(ClockTest, MillisecondsAreLow32BitsOfTruncatedQuotient)
{
    EXPECT_EQ(counterMilliseconds(0, 1000000), 0u);
    EXPECT_EQ(counterMilliseconds(1999, 1000000), 1u);     // 1.999 ms truncates
    EXPECT_EQ(counterMilliseconds(3579545, 3579545), 1000u); // odd frequencies divide exactly
    // 2^32 ms + 5 ms keeps only the low 32 bits.
    const std::int64_t frequency = 1000;
    EXPECT_EQ(counterMilliseconds((std::int64_t{1} << 32) + 5, frequency), 5u);
    // A nanosecond counter after about 200 days still converts without overflow.
    const std::int64_t ns = std::int64_t{200} * 24 * 3600 * 1000000000LL;
    EXPECT_EQ(counterMilliseconds(ns, 1000000000), static_cast<std::uint32_t>(std::uint64_t{200} * 24 * 3600 * 1000));
}

TEST_F(ClockTest, StartsNearZeroAndAdvancesWithTheCounter)
{
    fakeShell.frequency = 1000000;
    fakeShell.counter = 123456789;
    startClock();
    EXPECT_EQ(appContext.counterFrequency, 1000000);
    EXPECT_FLOAT_EQ(readClockMs(), 0.0f);
    fakeShell.advanceMs(40);
    EXPECT_FLOAT_EQ(readClockMs(), 40.0f);
}

TEST_F(ClockTest, NeverNegativeAcrossThe32BitMillisecondWrap)
{
    fakeShell.frequency = 1000;
    // Start 10 ms before the 32-bit millisecond count wraps.
    fakeShell.counter = (std::int64_t{1} << 32) - 10;
    startClock();
    fakeShell.counter += 25;
    EXPECT_FLOAT_EQ(readClockMs(), 25.0f);
    // A difference with the top bit set converts as an unsigned magnitude.
    fakeShell.counter = (std::int64_t{1} << 32) - 10 + (std::int64_t{1} << 31);
    EXPECT_FLOAT_EQ(readClockMs(), 2147483648.0f);
}
