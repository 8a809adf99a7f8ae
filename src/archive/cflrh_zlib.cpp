// ZLIB filter on zlib's compress and inflate. Unpacking uses inflate with Z_FINISH directly
// rather than uncompress, because newer zlib turns a stream that ends early into Z_DATA_ERROR,
// while this format accepts it (Z_BUF_ERROR) and keeps the stated length.
#include "archive/cflrh_zlib.h"

#include "archive/little_endian.h"

#include <climits>
#include <zlib.h>

namespace {
constexpr std::size_t lengthPrefix = 4;
}

CFLRH_Zlib::CFLRH_Zlib()
    : CFLResourceFilter(filterId, "ZLIB",
                        "ZLIB data compression library\n"
                        "(C) 1995-2022 Jean-loup Gailly and Mark Adler")
{
}

std::optional<FilterBytes> CFLRH_Zlib::pack(std::span<const std::uint8_t> input) const
{
    if (input.size() > UINT32_MAX)
        return std::nullopt;
    // Scratch room of 12 + n * 1.01 bytes, the product taken in single precision.
    const float scaled = static_cast<float>(input.size()) * 1.01f;
    uLongf streamLength = 12 + static_cast<uLongf>(scaled);
    FilterBytes out(lengthPrefix + streamLength);
    storeU32LE(out.data(), static_cast<std::uint32_t>(input.size()));
    const int result = compress(out.data() + lengthPrefix, &streamLength, input.data(),
                                static_cast<uLong>(input.size()));
    if (result != Z_OK)
        return std::nullopt;
    out.resize(lengthPrefix + streamLength);
    return out;
}

std::optional<FilterBytes> CFLRH_Zlib::unpack(std::span<const std::uint8_t> input) const
{
    if (input.size() < lengthPrefix)
        return std::nullopt;
    const std::uint32_t statedLength = loadU32LE(input.data());
    const std::size_t streamLength = input.size() - lengthPrefix;
    if (streamLength > UINT_MAX || statedLength > maxInflateRatio * streamLength)
        return std::nullopt;

    // Zero-filled, so whatever a short stream does not reach reads as zero.
    FilterBytes out(statedLength);
    std::uint8_t spare = 0; // inflate wants a real output pointer even for zero length
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(input.data() + lengthPrefix);
    stream.avail_in = static_cast<uInt>(streamLength);
    stream.next_out = statedLength ? out.data() : &spare;
    stream.avail_out = statedLength;
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    const int result = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);

    if (result == Z_STREAM_END) {
        out.resize(produced);
        return out;
    }
    // Ran out of input or of room before the end of the stream: the stated length stands.
    if (result == Z_BUF_ERROR || result == Z_OK)
        return out;
    return std::nullopt;
}
