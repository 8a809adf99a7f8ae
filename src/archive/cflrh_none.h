// The "None" filter (id 0): stores bytes as they are. It is also the compression stage of
// every block that is not compressed.
#pragma once

#include "archive/cfl_resource_filter.h"

class CFLRH_None : public CFLResourceFilter {
public:
    static constexpr std::uint32_t filterId = 0x00000000;
    CFLRH_None();
    std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const override;
    std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const override;
};
