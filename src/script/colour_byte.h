// A float colour channel as a byte: 255 from 1.0 up, 0 from 0.0 down, otherwise rounded to
// the nearest byte. NaN counts as 0 so no out-of-range float reaches the integer conversion.
#pragma once

#include <cstdint>

inline std::uint8_t colourByte(float value) {
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;
    return static_cast<std::uint8_t>(value * 255.0f + 0.5f);
}
