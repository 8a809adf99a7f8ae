// 8-bit delta coding; the arithmetic lives in delta_coding.h, shared with the other widths.
#include "archive/cflrh_delta8.h"

#include "archive/delta_coding.h"

CFLRH_Delta8::CFLRH_Delta8() : CFLResourceFilter(filterId, "Delta8", "8-bit delta encoding") {}

std::optional<FilterBytes> CFLRH_Delta8::pack(std::span<const std::uint8_t> input) const
{
    return delta_coding::encode<std::uint8_t>(input);
}

std::optional<FilterBytes> CFLRH_Delta8::unpack(std::span<const std::uint8_t> input) const
{
    return delta_coding::decode<std::uint8_t>(input);
}
