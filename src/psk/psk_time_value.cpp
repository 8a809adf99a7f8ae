#include "psk/psk_time_value.h"

std::uint32_t pskTimeValue(std::uint32_t stored, float timeScale, float timeOffset)
{
    const float value = static_cast<float>(stored) * timeScale + timeOffset;
    if (!(value > 0.0f))
        return 0;
    // 4294967296.0f is the first float past the range; every float below it truncates inside.
    if (value >= 4294967296.0f)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(value);
}
