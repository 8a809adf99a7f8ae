#include "app/clock.h"

#include "app/app_context.h"
#include "platform/shell/shell.h"

std::uint32_t counterMilliseconds(std::int64_t counter, std::int64_t frequency)
{
    if (frequency <= 0) return 0;
    // 128-bit product: a counter in nanoseconds times 1000 overflows 64 bits after 106 days.
    const __int128 product = static_cast<__int128>(counter) * 1000;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(product / frequency));
}

void startClock()
{
    std::int64_t frequency = 0;
    std::int64_t counter = 0;
    shell().queryPerformanceFrequency(&frequency);
    shell().queryPerformanceCounter(&counter);
    appContext.counterFrequency = frequency;
    appContext.startMs = counterMilliseconds(counter, frequency);
}

float readClockMs()
{
    std::int64_t counter = 0;
    shell().queryPerformanceCounter(&counter);
    // Unsigned difference and conversion: a wrap of the 32-bit count stays a small positive time.
    const std::uint32_t elapsed = counterMilliseconds(counter, appContext.counterFrequency) - appContext.startMs;
    return static_cast<float>(elapsed);
}
