// The "Delta32" filter (id 0x00030000): delta coding over 4-byte little-endian values;
// up to three trailing bytes that do not fill a value are kept as they are.
// Suits slowly varying data such as sample streams or vertex arrays, usually before ZLIB.
#pragma once

#include "archive/cfl_resource_filter.h"

class CFLRH_Delta32 : public CFLResourceFilter {
public:
    static constexpr std::uint32_t filterId = 0x00030000;
    CFLRH_Delta32();
    std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const override;
    std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const override;
};
