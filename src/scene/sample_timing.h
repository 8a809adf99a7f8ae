// The time mapping shared by the sampled tracks (transform, float, vertex): n samples spread
// evenly from start to end, held before start and after end, optionally repeating every loop
// length. Times are whole units in the scene's time base.
#pragma once

#include <cstddef>
#include <cstdint>

struct SampleTiming {
    bool looping = false;
    std::uint32_t loopLength = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// Sample a, or a blended toward b by weight (a == b and weight 0 when unblended).
struct SamplePick {
    std::size_t a = 0;
    std::size_t b = 0;
    float weight = 0.0f;
    bool blended() const { return a != b; }
};

// count must be at least 1. A loop length of 0 does not repeat; start == end holds sample 0
// at start; a time that is not a number uses sample 0.
SamplePick pickSample(float time, const SampleTiming& timing, std::size_t count);
