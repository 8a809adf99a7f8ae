// Node animation as the player plays it: a track holds samples evenly spaced between its start
// and end (in milliseconds, the scene's time unit), so the importer evaluates the source's
// keys at exactly those times. Keys are interpolated as Assimp defines them: position and
// scale linearly, rotation by spherical interpolation; outside the keys the nearest is held.
#pragma once

#include "axis_conversion.h"

#include <assimp/anim.h>

#include <cstdint>
#include <optional>

struct SampleClock {
    std::uint32_t startMs = 0;
    std::uint32_t endMs = 0;
    std::uint32_t count = 0; // at least 2

    double msAt(std::uint32_t sample) const
    {
        return startMs + (static_cast<double>(endMs) - startMs) * sample / (count - 1);
    }
};

// The clock for an animation sampled at `fps`, from its first key to its last (at least
// the whole duration when keys start at 0); none when it does not last a millisecond.
std::optional<SampleClock> sampleClockFor(const aiAnimation& animation, float fps);

double ticksPerSecond(const aiAnimation& animation);

// The channel's value at `ticks`; components without keys keep `rest`'s.
SourceTrs evaluateChannel(const aiNodeAnim& channel, double ticks, const SourceTrs& rest);
