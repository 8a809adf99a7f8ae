// Float colour channels as the device's 32-bit ARGB: each channel 255 from 1.0 up, 0 from 0.0
// down (NaN too), otherwise the integer part of value × 255 + 0.5.
#pragma once

#include <cstdint>

inline std::uint32_t colourChannelByte(float value)
{
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;
    return static_cast<std::uint32_t>(value * 255.0f + 0.5f);
}

inline std::uint32_t packArgb(float red, float green, float blue, float alpha)
{
    return colourChannelByte(alpha) << 24 | colourChannelByte(red) << 16 | colourChannelByte(green) << 8 |
           colourChannelByte(blue);
}
