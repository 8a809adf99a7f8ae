// The three stages packed into a block's filter id: an outer stage (bits 24-31, undone
// first), the compression stage (bits 0-15, always present; 0 = None) and the delta stage
// (bits 16-23, undone last).
#pragma once

#include <cstdint>

namespace filter_id {
constexpr std::uint32_t outerMask = 0xFF000000;
constexpr std::uint32_t deltaMask = 0x00FF0000;
constexpr std::uint32_t compressionMask = 0x0000FFFF;
// A compression value whose 16-bit form is unknown is tried again on its low byte.
constexpr std::uint32_t compressionFallbackMask = 0x000000FF;
} // namespace filter_id
