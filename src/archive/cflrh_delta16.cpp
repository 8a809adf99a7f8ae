// 16-bit delta coding; the arithmetic lives in delta_coding.h, shared with the other widths.
#include "archive/cflrh_delta16.h"

#include "archive/delta_coding.h"

CFLRH_Delta16::CFLRH_Delta16() : CFLResourceFilter(filterId, "Delta16", "16-bit delta encoding") {}

std::optional<FilterBytes> CFLRH_Delta16::pack(std::span<const std::uint8_t> input) const
{
    return delta_coding::encode<std::uint16_t>(input);
}

std::optional<FilterBytes> CFLRH_Delta16::unpack(std::span<const std::uint8_t> input) const
{
    return delta_coding::decode<std::uint16_t>(input);
}
