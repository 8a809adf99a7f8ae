// Encodes 8-bit RGBA pixels (top row first, rows packed) as a PNG file in memory, for
// textures that a source file embeds.
#pragma once

#include <cstdint>
#include <vector>

// Empty when the encoder fails.
std::vector<std::uint8_t> encodeRgbaPng(const std::uint8_t* rgba, unsigned width, unsigned height);
