// Box filter for mip chains: each texel of the next level is the rounded mean of the 2 × 2
// block above it (a 2 × 1 or 1 × 2 block once a side is down to one texel; the last row or
// column of an odd side is dropped, as halving rounds down).
#pragma once

#include <cstdint>
#include <vector>

// Side of level `level` for a level-0 side: halved per level, never below 1.
unsigned mipSide(unsigned side, unsigned level);
// Levels of a full chain down to 1 × 1: floor(log2(max(width, height))) + 1.
unsigned fullMipLevelCount(unsigned width, unsigned height);

// The next level of a width × height RGBA picture (rows packed, 4 bytes a pixel).
std::vector<std::uint8_t> boxFilterHalf(const std::uint8_t* rgba, unsigned width, unsigned height);
