// 32-bit delta coding; the arithmetic lives in delta_coding.h, shared with the other widths.
#include "archive/cflrh_delta32.h"

#include "archive/delta_coding.h"

CFLRH_Delta32::CFLRH_Delta32() : CFLResourceFilter(filterId, "Delta32", "32-bit delta encoding") {}

std::optional<FilterBytes> CFLRH_Delta32::pack(std::span<const std::uint8_t> input) const
{
    return delta_coding::encode<std::uint32_t>(input);
}

std::optional<FilterBytes> CFLRH_Delta32::unpack(std::span<const std::uint8_t> input) const
{
    return delta_coding::decode<std::uint32_t>(input);
}
