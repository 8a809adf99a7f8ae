// The player's one clock: float milliseconds since the end of start-up, from the shell's
// performance counter. Wraps like the 32-bit millisecond count it is built on, never negative.
#pragma once

#include <cstdint>

// Low 32 bits of counter × 1000 ÷ frequency.
std::uint32_t counterMilliseconds(std::int64_t counter, std::int64_t frequency);

// Reads the counter into appContext.counterFrequency and appContext.startMs.
void startClock();

float readClockMs();
