// The quick way through the PNGs most pictures are: 8 bits a channel, grey or colour, with or
// without alpha, not interlaced, no key colour. The stream is inflated in one call by
// libdeflate (about twice zlib's speed), then each row is unfiltered and widened to RGBA while
// it is still in the cache. libspng handles every other PNG, and also any of these whose bytes
// look the least bit unusual: this path never refuses a picture, it only steps aside.

#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_formats.h"

#include <libdeflate.h>

#include <bit>
#include <cstring>
#include <memory>

namespace {

struct Release {
    void operator()(std::uint8_t* block) const { pictureRelease(block); }
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};
using Block = std::unique_ptr<std::uint8_t, Release>;

std::uint32_t bigEndian(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

bool isType(const std::uint8_t* type, const char (&name)[5])
{
    return std::memcmp(type, name, 4) == 0;
}

// Where the compressed image data lies: the run of IDAT chunks after the header.
struct ImageData {
    unsigned channels = 0;
    const std::uint8_t* first = nullptr; // the chunk headers of the first and the last IDAT
    const std::uint8_t* last = nullptr;
    std::size_t bytes = 0;
};

unsigned directChannels(const std::uint8_t* ihdr, const PictureHeader& header)
{
    if (bigEndian(ihdr) != header.width || bigEndian(ihdr + 4) != header.height) return 0;
    const std::uint8_t depth = ihdr[8], colour = ihdr[9];
    if (depth != 8 || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] != 0) return 0;
    switch (colour) {
    case 0: return 1;
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 0;
    }
}

// Walks the chunks as far as the image data. Anything not taken here (a critical chunk with
// a wrong CRC, an unknown critical chunk, a key colour, IDATs not in one run) returns nothing.
std::optional<ImageData> findImageData(const std::uint8_t* data, std::size_t size, const PictureHeader& header)
{
    ImageData image;
    std::size_t at = 8;
    while (size - at >= 12) {
        const std::uint8_t* chunk = data + at;
        const std::uint32_t length = bigEndian(chunk);
        if (length > size - at - 12) return std::nullopt;
        const std::uint8_t* type = chunk + 4;
        const bool critical = (type[0] & 0x20) == 0;
        if (critical && libdeflate_crc32(0, type, length + 4) != bigEndian(type + 4 + length)) return std::nullopt;
        const bool idat = isType(type, "IDAT");
        if (at == 8) {
            if (!isType(type, "IHDR") || length != 13) return std::nullopt;
            image.channels = directChannels(type + 4, header);
            if (image.channels == 0) return std::nullopt;
        } else if (idat) {
            if (!image.first) image.first = chunk;
            image.last = chunk;
            image.bytes += length;
        } else if (image.first || isType(type, "IEND")) {
            break;
        } else if (isType(type, "tRNS") || (critical && !(isType(type, "PLTE") && image.channels >= 3))) {
            return std::nullopt;
        }
        at += 12 + std::size_t{length};
    }
    if (!image.first) return std::nullopt;
    return image;
}

std::uint8_t paeth(int left, int up, int upLeft)
{
    const int p = left + up - upLeft;
    const int pa = p > left ? p - left : left - p;
    const int pb = p > up ? p - up : up - p;
    const int pc = p > upLeft ? p - upLeft : upLeft - p;
    if (pa <= pb && pa <= pc) return std::uint8_t(left);
    return std::uint8_t(pb <= pc ? up : upLeft);
}

// Unfilters one row in place against the row above it (all zero above the first row).
bool unfilter(std::uint8_t filter, std::uint8_t* __restrict row, const std::uint8_t* __restrict above,
              std::size_t bytes, unsigned step)
{
    switch (filter) {
    case 0: return true;
    case 1:
        for (std::size_t i = step; i < bytes; ++i) row[i] = std::uint8_t(row[i] + row[i - step]);
        return true;
    case 2:
        for (std::size_t i = 0; i < bytes; ++i) row[i] = std::uint8_t(row[i] + above[i]);
        return true;
    case 3:
        for (std::size_t i = 0; i < step; ++i) row[i] = std::uint8_t(row[i] + (above[i] >> 1));
        for (std::size_t i = step; i < bytes; ++i) row[i] = std::uint8_t(row[i] + ((row[i - step] + above[i]) >> 1));
        return true;
    case 4:
        for (std::size_t i = 0; i < step; ++i) row[i] = std::uint8_t(row[i] + above[i]);
        for (std::size_t i = step; i < bytes; ++i)
            row[i] = std::uint8_t(row[i] + paeth(row[i - step], above[i], above[i - step]));
        return true;
    default: return false;
    }
}

std::uint32_t load32(const std::uint8_t* p)
{
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

void store32(std::uint8_t* p, std::uint32_t word)
{
    std::memcpy(p, &word, 4);
}

// RGB to RGBA four pixels (three words) at a time: the byte-wise loop does not vectorise and
// costs more than inflating the picture.
unsigned widenRgbWords(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, unsigned width)
{
    if constexpr (std::endian::native != std::endian::little) return 0;
    constexpr std::uint32_t opaque = 0xFF000000u;
    unsigned x = 0;
    for (; x + 4 <= width; x += 4, in += 12, out += 16) {
        const std::uint32_t a = load32(in), b = load32(in + 4), c = load32(in + 8);
        store32(out, (a & 0x00FFFFFFu) | opaque);
        store32(out + 4, a >> 24 | (b & 0xFFFFu) << 8 | opaque);
        store32(out + 8, b >> 16 | (c & 0xFFu) << 16 | opaque);
        store32(out + 12, c >> 8 | opaque);
    }
    return x;
}

void widen(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, unsigned width, unsigned channels)
{
    if (channels == 3) {
        const unsigned done = widenRgbWords(in, out, width);
        in += std::size_t(done) * 3, out += std::size_t(done) * 4, width -= done;
    }
    switch (channels) {
    case 1:
        for (unsigned x = 0; x < width; ++x, out += 4) out[0] = out[1] = out[2] = in[x], out[3] = 255;
        break;
    case 2:
        for (unsigned x = 0; x < width; ++x, in += 2, out += 4) out[0] = out[1] = out[2] = in[0], out[3] = in[1];
        break;
    case 3:
        for (unsigned x = 0; x < width; ++x, in += 3, out += 4) out[0] = in[0], out[1] = in[1], out[2] = in[2], out[3] = 255;
        break;
    default: std::memcpy(out, in, std::size_t(width) * 4); break;
    }
}

// The IDAT payloads as one stream: in place when there is one chunk, copied when there are several.
const std::uint8_t* joinImageData(const ImageData& image, Block& joined)
{
    if (image.first == image.last) return image.first + 8;
    joined.reset(static_cast<std::uint8_t*>(pictureAllocate(image.bytes)));
    if (!joined) return nullptr;
    std::uint8_t* to = joined.get();
    for (const std::uint8_t* chunk = image.first;; chunk += 12 + bigEndian(chunk)) {
        std::memcpy(to, chunk + 8, bigEndian(chunk));
        to += bigEndian(chunk);
        if (chunk == image.last) break;
    }
    return joined.get();
}

} // namespace

std::optional<DecodedPixels> decodePngDirect(const std::uint8_t* data, std::size_t size, const PictureHeader& header)
{
    const std::optional<ImageData> image = findImageData(data, size, header);
    if (!image) return std::nullopt;
    const std::size_t rowBytes = std::size_t(header.width) * image->channels;
    const std::size_t filteredBytes = (rowBytes + 1) * header.height;
    Block joined;
    const std::uint8_t* stream = joinImageData(*image, joined);
    Block filtered(static_cast<std::uint8_t*>(pictureAllocate(filteredBytes)));
    Block zeros(static_cast<std::uint8_t*>(pictureAllocateZeroed(rowBytes, 1)));
    DecodedPixels pixels(static_cast<std::uint8_t*>(pictureAllocate(std::size_t(header.width) * header.height * 4)));
    std::unique_ptr<libdeflate_decompressor, Release> inflater(libdeflate_alloc_decompressor());
    if (!stream || !filtered || !zeros || !pixels || !inflater) return std::nullopt;
    // Exactly the rows the header promises, no more, no less; a short or long stream is for
    // libspng to judge.
    if (libdeflate_zlib_decompress(inflater.get(), stream, image->bytes, filtered.get(), filteredBytes, nullptr) !=
        LIBDEFLATE_SUCCESS)
        return std::nullopt;
    const std::uint8_t* above = zeros.get();
    for (unsigned y = 0; y < header.height; ++y) {
        std::uint8_t* row = filtered.get() + std::size_t(y) * (rowBytes + 1);
        if (!unfilter(row[0], row + 1, above, rowBytes, image->channels)) return std::nullopt;
        widen(row + 1, pixels.get() + std::size_t(y) * header.width * 4, header.width, image->channels);
        above = row + 1;
    }
    return pixels;
}
