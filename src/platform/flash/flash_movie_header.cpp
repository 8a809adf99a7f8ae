#include "platform/flash/flash_movie_header.h"

#include "platform/flash/flash_body_prefix.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kFixedBytes = 8; // signature, version, file length

std::uint32_t littleEndian32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads most-significant bit first, as the frame rectangle is packed.
class BitReader {
public:
    BitReader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool read(unsigned count, std::uint32_t& value)
    {
        value = 0;
        for (unsigned k = 0; k < count; ++k) {
            const std::size_t byte = bit_ / 8;
            if (byte >= bytes_.size()) return false;
            value = (value << 1) | ((bytes_[byte] >> (7 - bit_ % 8)) & 1u);
            ++bit_;
        }
        return true;
    }
    bool readSigned(unsigned count, std::int32_t& value)
    {
        std::uint32_t raw = 0;
        if (!read(count, raw)) return false;
        // Sign-extend from `count` bits; count is at most 31.
        if (count > 0 && (raw >> (count - 1)) & 1u) raw |= ~0u << count;
        value = static_cast<std::int32_t>(raw);
        return true;
    }
    std::size_t bytesUsed() const { return (bit_ + 7) / 8; }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::size_t bit_ = 0;
};

std::optional<FlashCompression> compressionOf(const std::uint8_t* p)
{
    if (p[1] != 'W' || p[2] != 'S') return std::nullopt;
    switch (p[0]) {
    case 'F': return FlashCompression::None;
    case 'C': return FlashCompression::Zlib;
    case 'Z': return FlashCompression::Lzma;
    default: return std::nullopt;
    }
}

// The body's first bytes as they would be uncompressed. A "ZWS" body starts with its own
// compressed length (4 bytes) before the LZMA properties.
std::vector<std::uint8_t> bodyPrefix(FlashCompression compression, const std::uint8_t* body, std::size_t size)
{
    switch (compression) {
    case FlashCompression::None:
        return std::vector<std::uint8_t>(body, body + std::min(size, kFlashBodyHeaderMax));
    case FlashCompression::Zlib: return inflatePrefix(body, size, kFlashBodyHeaderMax);
    case FlashCompression::Lzma:
        if (size < 4) return {};
        return lzmaPrefix(body + 4, size - 4, kFlashBodyHeaderMax);
    }
    return {};
}

} // namespace

std::optional<FlashMovieHeader> readFlashMovieHeader(const std::uint8_t* data, std::size_t size)
{
    if (!data || size < kFixedBytes) return std::nullopt;
    const std::optional<FlashCompression> compression = compressionOf(data);
    if (!compression) return std::nullopt;

    FlashMovieHeader header;
    header.compression = *compression;
    header.version = data[3];
    header.fileLength = littleEndian32(data + 4);

    const std::vector<std::uint8_t> body = bodyPrefix(*compression, data + kFixedBytes, size - kFixedBytes);
    BitReader bits(body);
    std::uint32_t fieldBits = 0;
    if (!bits.read(5, fieldBits)) return std::nullopt;
    FlashFrameRect& rect = header.frameRect;
    if (!bits.readSigned(fieldBits, rect.xMin) || !bits.readSigned(fieldBits, rect.xMax) ||
        !bits.readSigned(fieldBits, rect.yMin) || !bits.readSigned(fieldBits, rect.yMax))
        return std::nullopt;
    const std::size_t at = bits.bytesUsed();
    if (body.size() < at + 4) return std::nullopt;
    header.frameRate = static_cast<std::uint16_t>(body[at] | (body[at + 1] << 8));
    header.frameCount = static_cast<std::uint16_t>(body[at + 2] | (body[at + 3] << 8));
    return header;
}
