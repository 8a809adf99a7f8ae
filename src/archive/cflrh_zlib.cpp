// ZLIB filter on zlib's compress and inflate. Unpacking drives inflate step by step rather
// than calling uncompress, so the output can grow as it arrives, and because newer zlib turns a stream that ends early into Z_DATA_ERROR,
// while this format accepts it (Z_BUF_ERROR) and keeps the stated length.
#include "archive/cflrh_zlib.h"

#include "archive/little_endian.h"

#include <algorithm>
#include <climits>
#include <zlib.h>

namespace {
constexpr std::size_t lengthPrefix = 4;
constexpr std::size_t initialRoom = 64 * 1024;
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
    return unpackAtMost(input, maxDecodedBlockLength);
}

std::optional<FilterBytes> CFLRH_Zlib::unpackAtMost(std::span<const std::uint8_t> input, std::size_t limit) const
{
    if (input.size() < lengthPrefix)
        return std::nullopt;
    const std::uint32_t statedLength = loadU32LE(input.data());
    const std::size_t streamLength = input.size() - lengthPrefix;
    if (streamLength > UINT_MAX || statedLength > maxInflateRatio * streamLength || statedLength > limit)
        return std::nullopt;

    // Room for a typical ratio first; doubled whenever the stream fills it, never past the
    // stated length.
    FilterBytes out(std::min<std::size_t>(statedLength, std::max<std::size_t>(initialRoom, 4 * streamLength)));
    std::uint8_t spare = 0; // inflate wants a real output pointer even for zero length
    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(input.data() + lengthPrefix);
    stream.avail_in = static_cast<uInt>(streamLength);
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    int result = Z_OK;
    while (result == Z_OK) {
        const std::size_t produced = stream.total_out;
        if (produced == out.size() && out.size() < statedLength) {
            // reserve first: resize alone may round the capacity up past the stated length.
            const std::size_t grown = std::min<std::size_t>(statedLength, 2 * out.size());
            out.reserve(grown);
            out.resize(grown);
        }
        stream.next_out = produced < out.size() ? out.data() + produced : &spare;
        stream.avail_out = static_cast<uInt>(out.size() - produced);
        result = inflate(&stream, Z_NO_FLUSH);
    }
    const uLong produced = stream.total_out;
    inflateEnd(&stream);

    if (result == Z_STREAM_END) {
        out.resize(produced);
        return out;
    }
    // Ran out of input or of room before the end of the stream: the stated length stands,
    // zero-filled past what the stream gave.
    if (result == Z_BUF_ERROR) {
        out.resize(statedLength);
        return out;
    }
    return std::nullopt;
}
