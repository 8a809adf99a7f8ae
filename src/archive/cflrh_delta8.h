// The "Delta8" filter (id 0x00010000): byte-wise delta coding, wrapping modulo 256.
// Suits slowly varying data such as sample streams or vertex arrays, usually before ZLIB.
#pragma once

#include "archive/cfl_resource_filter.h"

class CFLRH_Delta8 : public CFLResourceFilter {
public:
    static constexpr std::uint32_t filterId = 0x00010000;
    CFLRH_Delta8();
    std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const override;
    std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const override;
};
