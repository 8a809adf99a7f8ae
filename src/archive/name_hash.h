// The 32-bit hash that speeds up entry lookup. It only ever lives in memory, but it is fixed:
// h = c XOR ((h << 21) + (h >> 11)) per byte, on a signed h with an arithmetic right shift.
#pragma once

#include <cstdint>
#include <string_view>

std::uint32_t archiveNameHash(std::string_view name);
