// A tiny four-channel tracker module (the "M.K." format) made for the tests: a looped sine
// cycle retriggered on every row, at one pitch for the first pattern and twice that pitch
// for the second, at one tick per row and 160 BPM (15.625 ms rows): exactly 1 s per pattern.
#pragma once

#include <cstdint>
#include <vector>

// Periods of the two patterns' notes (Amiga period units; half the period is twice the pitch).
constexpr int kModLowPeriod = 428;
constexpr int kModHighPeriod = 214;
constexpr double kModPatternSeconds = 1.0;

// The pitch, in Hz, of a period for the module's 32-sample cycle.
double modPitch(int period);

std::vector<std::uint8_t> risingTrackerModule();
