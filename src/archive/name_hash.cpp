// Done in unsigned arithmetic so the addition wraps without undefined behaviour; the right
// shift goes through the signed value to copy the sign bit.
#include "archive/name_hash.h"

std::uint32_t archiveNameHash(std::string_view name)
{
    std::uint32_t h = 0;
    for (const char c : name) {
        const std::uint32_t shiftedLeft = h << 21;
        const auto shiftedRight = static_cast<std::uint32_t>(static_cast<std::int32_t>(h) >> 11);
        h = static_cast<std::uint8_t>(c) ^ (shiftedLeft + shiftedRight);
    }
    return h;
}
