#include "flash_movie_fixtures.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace {

class BitWriter {
public:
    void put(std::uint32_t value, unsigned count)
    {
        for (unsigned k = count; k-- > 0;) {
            if (bit_ % 8 == 0) bytes.push_back(0);
            if ((value >> k) & 1u) bytes.back() |= static_cast<std::uint8_t>(0x80u >> (bit_ % 8));
            ++bit_;
        }
    }
    std::vector<std::uint8_t> bytes;

private:
    std::size_t bit_ = 0;
};

unsigned signedBitsFor(std::int32_t value)
{
    unsigned bits = 1;
    while (bits < 32 && (value < -(std::int64_t(1) << (bits - 1)) || value >= (std::int64_t(1) << (bits - 1)))) ++bits;
    return bits;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& more)
{
    for (std::uint8_t byte : more) out.push_back(byte);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

std::vector<std::uint8_t> body(const TestMovie& movie)
{
    const FlashFrameRect& r = movie.rect;
    unsigned bits = movie.rectBits;
    if (bits == 0) {
        for (std::int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) bits = std::max(bits, signedBitsFor(v));
    }
    BitWriter writer;
    writer.put(bits, 5);
    for (std::int32_t v : {r.xMin, r.xMax, r.yMin, r.yMax}) writer.put(static_cast<std::uint32_t>(v), bits);
    std::vector<std::uint8_t> out;
    append(out, writer.bytes);
    put16(out, movie.frameRate);
    put16(out, movie.frameCount);
    for (std::size_t k = 0; k < movie.tagBytes; ++k) out.push_back(static_cast<std::uint8_t>(k % 7));
    return out;
}

std::vector<std::uint8_t> zlibCompressed(const std::vector<std::uint8_t>& data)
{
    uLongf size = compressBound(data.size());
    std::vector<std::uint8_t> out(size);
    if (compress(out.data(), &size, data.data(), data.size()) != Z_OK) throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

// Five property bytes, then the raw LZMA stream.
std::vector<std::uint8_t> lzmaCompressed(const std::vector<std::uint8_t>& data)
{
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, 6)) throw std::runtime_error("lzma preset failed");
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::vector<std::uint8_t> out(5);
    if (lzma_properties_encode(filters, out.data()) != LZMA_OK) throw std::runtime_error("lzma properties failed");
    std::vector<std::uint8_t> stream(data.size() + data.size() / 2 + 256);
    std::size_t written = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, data.data(), data.size(), stream.data(), &written, stream.size()) !=
        LZMA_OK)
        throw std::runtime_error("lzma encode failed");
    stream.resize(written);
    append(out, stream);
    return out;
}

} // namespace

std::vector<std::uint8_t> makeFlashMovie(const TestMovie& movie)
{
    const std::vector<std::uint8_t> plain = body(movie);
    const char first = movie.compression == FlashCompression::None ? 'F'
                       : movie.compression == FlashCompression::Zlib ? 'C'
                                                                     : 'Z';
    std::vector<std::uint8_t> out{static_cast<std::uint8_t>(first), 'W', 'S', movie.version};
    put32(out, static_cast<std::uint32_t>(8 + plain.size()));
    switch (movie.compression) {
    case FlashCompression::None: append(out, plain); break;
    case FlashCompression::Zlib: append(out, zlibCompressed(plain)); break;
    case FlashCompression::Lzma: {
        const std::vector<std::uint8_t> packed = lzmaCompressed(plain);
        put32(out, static_cast<std::uint32_t>(packed.size() - 5));
        append(out, packed);
        break;
    }
    }
    return out;
}
