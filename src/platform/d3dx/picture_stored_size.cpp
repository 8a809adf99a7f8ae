// Checking that a TGA or BMP holds every pixel it declares.

#include "platform/d3dx/picture_stored_size.h"

#include "platform/d3dx/picture_formats.h"

namespace {

std::uint32_t littleEndian(const std::uint8_t* bytes, unsigned count)
{
    std::uint32_t value = 0;
    for (unsigned i = count; i-- > 0;) value = (value << 8) | bytes[i];
    return value;
}

} // namespace

std::optional<StoredPictureSize> bmpStoredSize(const std::uint8_t* data, std::size_t size)
{
    if (size < 26) return std::nullopt;
    const std::uint64_t pixelOffset = littleEndian(data + 10, 4);
    const std::uint32_t headerSize = littleEndian(data + 14, 4);
    std::int64_t width = 0, height = 0;
    unsigned bitsPerPixel = 0;
    if (headerSize == 12) {
        width = littleEndian(data + 18, 2);
        height = littleEndian(data + 20, 2);
        bitsPerPixel = littleEndian(data + 24, 2);
    } else {
        if (size < 30) return std::nullopt;
        width = std::int32_t(littleEndian(data + 18, 4));
        height = std::int32_t(littleEndian(data + 22, 4));
        bitsPerPixel = littleEndian(data + 28, 2);
    }
    const std::uint64_t rows = height < 0 ? std::uint64_t(-height) : std::uint64_t(height);
    if (width <= 0 || !pictureSizeAllowed(std::uint64_t(width), rows)) return std::nullopt;
    switch (bitsPerPixel) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
    }
    // Rows are padded to four bytes; the last row's padding may be missing.
    const std::uint64_t rowBits = std::uint64_t(width) * bitsPerPixel;
    const std::uint64_t stride = (rowBits + 31) / 32 * 4;
    if (pixelOffset + stride * (rows - 1) + (rowBits + 7) / 8 > size) return std::nullopt;
    return StoredPictureSize{unsigned(width), unsigned(rows)};
}

std::optional<StoredPictureSize> tgaStoredSize(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kHeaderBytes = 18;
    if (size < kHeaderBytes) return std::nullopt;
    const unsigned idLength = data[0];
    const bool colourMapped = data[1] == 1;
    const unsigned imageType = data[2];
    const unsigned paletteStart = littleEndian(data + 3, 2), paletteLength = littleEndian(data + 5, 2);
    const unsigned paletteBits = data[7];
    const unsigned width = littleEndian(data + 12, 2), height = littleEndian(data + 14, 2);
    const unsigned pixelBits = data[16];
    if (!pictureSizeAllowed(width, height) || pixelBits == 0) return std::nullopt;

    // The decoder skips the identification and, for a colour-mapped picture, the palette's
    // first-entry field as bytes before reading the palette.
    std::uint64_t at = kHeaderBytes + idLength;
    if (colourMapped) at += paletteStart + std::uint64_t(paletteLength) * ((paletteBits + 7) / 8);
    const unsigned pixelBytes = (pixelBits + 7) / 8;
    std::uint64_t pixels = std::uint64_t(width) * height;
    if (imageType < 8) {
        if (at + pixels * pixelBytes > size) return std::nullopt;
        return StoredPictureSize{width, height};
    }
    // Run-length packets: one count byte, then one pixel repeated or that many pixels.
    while (pixels > 0) {
        if (at >= size) return std::nullopt;
        const unsigned packet = data[at++];
        const unsigned count = (packet & 0x7F) + 1;
        at += packet & 0x80 ? pixelBytes : std::uint64_t(count) * pixelBytes;
        pixels -= count < pixels ? count : pixels;
    }
    if (at > size) return std::nullopt;
    return StoredPictureSize{width, height};
}
