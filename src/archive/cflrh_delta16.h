// The "Delta16" filter (id 0x00020000): delta coding over 2-byte little-endian values;
// a trailing odd byte is kept as it is.
// Suits slowly varying data such as sample streams or vertex arrays, usually before ZLIB.
#pragma once

#include "archive/cfl_resource_filter.h"

class CFLRH_Delta16 : public CFLResourceFilter {
public:
    static constexpr std::uint32_t filterId = 0x00020000;
    CFLRH_Delta16();
    std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const override;
    std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const override;
};
