// Stored blocks: both directions are a plain copy.
#include "archive/cflrh_none.h"

CFLRH_None::CFLRH_None() : CFLResourceFilter(filterId, "None", "No compression") {}

std::optional<FilterBytes> CFLRH_None::pack(std::span<const std::uint8_t> input) const
{
    return FilterBytes(input.begin(), input.end());
}

std::optional<FilterBytes> CFLRH_None::unpack(std::span<const std::uint8_t> input) const
{
    return pack(input);
}
