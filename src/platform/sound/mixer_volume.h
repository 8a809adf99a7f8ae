// The library's 0-255 volume scale onto SDL_mixer's 0-128 one.
#pragma once

#include <algorithm>

// Rounded to the nearest step; values outside 0-255 count as the nearest end.
inline int mixerVolume(int volume)
{
    constexpr int mixerFull = 128;  // MIX_MAX_VOLUME
    const int clamped = std::clamp(volume, 0, 255);
    return (clamped * mixerFull + 127) / 255;
}
