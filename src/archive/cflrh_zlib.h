// The "ZLIB" filter (id 1): a u32 little-endian plain length followed by a zlib stream made
// by zlib's one-call compress at the default level. Unpacking tolerates a stream that ends
// early or overruns the stated length: it yields the stated length, zero-filled past the
// stream. The output grows as the stream delivers it, so a stated length that the stream
// never backs costs nothing until the end.
#pragma once

#include "archive/cfl_resource_filter.h"

#include <cstddef>

class CFLRH_Zlib : public CFLResourceFilter {
public:
    static constexpr std::uint32_t filterId = 0x00000001;
    // Deflate cannot expand data more than this: a stated length beyond it is damage, and
    // refusing it keeps a bogus header from causing a huge allocation.
    static constexpr std::uint64_t maxInflateRatio = 1032;

    CFLRH_Zlib();
    std::optional<FilterBytes> pack(std::span<const std::uint8_t> input) const override;
    // Limited to maxDecodedBlockLength.
    std::optional<FilterBytes> unpack(std::span<const std::uint8_t> input) const override;
    std::optional<FilterBytes> unpackAtMost(std::span<const std::uint8_t> input, std::size_t limit) const override;
};
