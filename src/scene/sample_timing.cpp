#include "scene/sample_timing.h"

#include <algorithm>
#include <cmath>

namespace {

// Repeated subtraction of the loop length while above it, in closed form: a float time far
// beyond the loop would otherwise take as many steps, or never end once t − L rounds to t.
float wrapped(float time, std::uint32_t loopLength)
{
    const double length = loopLength;
    const double rest = std::fmod(static_cast<double>(time), length);
    return static_cast<float>(rest == 0.0 ? length : rest);
}

} // namespace

SamplePick pickSample(float time, const SampleTiming& timing, std::size_t count)
{
    if (timing.looping && timing.loopLength > 0 && std::isfinite(time) && time > static_cast<float>(timing.loopLength)) {
        time = wrapped(time, timing.loopLength);
    }
    const std::size_t last = count - 1;
    if (!(time >= static_cast<float>(timing.start))) return {};
    if (time > static_cast<float>(timing.end)) return {last, last, 0.0f};

    const std::uint32_t span = timing.end - timing.start;
    if (span == 0) return {};
    float f = (time - static_cast<float>(timing.start)) * static_cast<float>(last) / static_cast<float>(span);
    f = std::clamp(f, 0.0f, static_cast<float>(last));
    if (std::trunc(f) == f) {
        const auto index = static_cast<std::size_t>(f);
        return {index, index, 0.0f};
    }
    const auto a = static_cast<std::size_t>(std::floor(f));
    const std::size_t b = std::min(static_cast<std::size_t>(std::ceil(f)), last);
    return {a, b, f - static_cast<float>(a)};
}
