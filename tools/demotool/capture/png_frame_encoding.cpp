#include "capture/png_frame_encoding.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct CompressorDeleter {
    void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    const std::uint8_t bytes[4] = {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                                   std::uint8_t(value)};
    out.insert(out.end(), bytes, bytes + 4);
}

void putChunk(std::vector<std::uint8_t>& out, const char (&type)[5], const std::uint8_t* data, std::size_t size)
{
    putBigEndian(out, std::uint32_t(size));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    if (size) out.insert(out.end(), data, data + size);
    putBigEndian(out, std::uint32_t(libdeflate_crc32(0, out.data() + typeAt, size + 4)));
}

// Written so that the compiler vectorises it: the three distances, then two selections.
inline std::uint8_t paethPredictor(int left, int up, int upLeft)
{
    const int toLeft = std::abs(up - upLeft);
    const int toUp = std::abs(left - upLeft);
    const int toUpLeft = std::abs(left + up - 2 * upLeft);
    const int upOrCorner = toUp <= toUpLeft ? up : upLeft;
    return std::uint8_t(toLeft <= toUp && toLeft <= toUpLeft ? left : upOrCorner);
}

// One filtered row: the filter-type byte, then each byte minus its Paeth prediction. Above
// the first row everything counts as zero.
void filterRow(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes, std::uint8_t* out)
{
    out[0] = 4;
    ++out;
    for (std::size_t x = 0; x < 3 && x < bytes; ++x) out[x] = std::uint8_t(row[x] - above[x]);
    for (std::size_t x = 3; x < bytes; ++x)
        out[x] = std::uint8_t(row[x] - paethPredictor(row[x - 3], above[x], above[x - 3]));
}

} // namespace

std::vector<std::uint8_t> encodeFramePng(const FramePixels& frame)
{
    const std::size_t width = frame.width, height = frame.height;
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF ||
        frame.bgrx.size() / 4 / width < height)
        return {};
    const std::size_t rowBytes = width * 3;

    std::vector<std::uint8_t> filtered((rowBytes + 1) * height);
    std::vector<std::uint8_t> rows[2] = {std::vector<std::uint8_t>(rowBytes), std::vector<std::uint8_t>(rowBytes)};
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* rgb = rows[y & 1].data();
        const std::uint8_t* bgrx = frame.bgrx.data() + y * width * 4;
        for (std::size_t x = 0; x < width; ++x) {
            rgb[x * 3] = bgrx[x * 4 + 2];
            rgb[x * 3 + 1] = bgrx[x * 4 + 1];
            rgb[x * 3 + 2] = bgrx[x * 4];
        }
        filterRow(rgb, rows[(y + 1) & 1].data(), rowBytes, filtered.data() + y * (rowBytes + 1));
    }

    const std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(libdeflate_alloc_compressor(1));
    if (!compressor) return {};
    std::vector<std::uint8_t> deflated(libdeflate_zlib_compress_bound(compressor.get(), filtered.size()));
    deflated.resize(libdeflate_zlib_compress(compressor.get(), filtered.data(), filtered.size(), deflated.data(),
                                             deflated.size()));
    if (deflated.empty()) return {};

    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> png(kSignature, kSignature + 8);
    png.reserve(deflated.size() + 64 + deflated.size() / (1u << 30) * 12);
    std::uint8_t header[13] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = std::uint8_t(width >> (24 - 8 * i));
        header[4 + i] = std::uint8_t(height >> (24 - 8 * i));
    }
    header[8] = 8;  // bits a channel
    header[9] = 2;  // RGB
    putChunk(png, "IHDR", header, sizeof header);
    // A chunk holds less than 2 GiB; very large frames take several.
    constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
    for (std::size_t at = 0; at < deflated.size(); at += kMaxChunk)
        putChunk(png, "IDAT", deflated.data() + at, std::min(kMaxChunk, deflated.size() - at));
    putChunk(png, "IEND", nullptr, 0);
    return png;
}
