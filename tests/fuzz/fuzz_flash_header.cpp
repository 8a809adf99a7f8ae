// Fuzzes the Flash movie header reader: any bytes, stored or as zlib and LZMA bodies. What it
// accepts must carry a known signature and a frame rectangle whose packing width allows its
// coordinates.
// fuzz-libs: platform_flash
#include "platform/flash/flash_movie_header.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace {

bool fitsSigned31(std::int32_t value)
{
    return value >= -(1 << 30) && value < (1 << 30);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // An exact copy, so reading one byte past the input is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    const std::optional<FlashMovieHeader> header = readFlashMovieHeader(bytes.data(), bytes.size());
    if (!header) return 0;
    if (size < 8 || data[1] != 'W' || data[2] != 'S') __builtin_trap();
    const bool known = (data[0] == 'F' && header->compression == FlashCompression::None) ||
                       (data[0] == 'C' && header->compression == FlashCompression::Zlib) ||
                       (data[0] == 'Z' && header->compression == FlashCompression::Lzma);
    if (!known || header->version != data[3]) __builtin_trap();
    const FlashFrameRect& r = header->frameRect;
    if (!fitsSigned31(r.xMin) || !fitsSigned31(r.xMax) || !fitsSigned31(r.yMin) || !fitsSigned31(r.yMax))
        __builtin_trap();
    // A stored body is read in place: it cannot yield a header from fewer than its 10 bytes.
    if (header->compression == FlashCompression::None && size < 8 + 1 + 4) __builtin_trap();
    return 0;
}
