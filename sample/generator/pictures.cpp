#include "pictures.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

Picture::Picture(int w, int h, std::uint32_t fill) : width(w), height(h)
{
    if (w <= 0 || h <= 0 || w > 65535 || h > 65535) throw std::invalid_argument("picture size out of range");
    argb.assign(static_cast<std::size_t>(w) * h, fill);
}

std::uint32_t argbOf(float r, float g, float b, float a)
{
    const auto byte = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

namespace {

void put32be(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void pngChunk(std::vector<std::uint8_t>& out, std::string_view type, const std::vector<std::uint8_t>& data)
{
    put32be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the type and the data, not the length.
    put32be(out, static_cast<std::uint32_t>(crc32(0, out.data() + typeAt, static_cast<uInt>(out.size() - typeAt))));
}

std::vector<std::uint8_t> channels(const Picture& picture, bool alpha, bool filterBytes)
{
    std::vector<std::uint8_t> out;
    out.reserve(picture.argb.size() * (alpha ? 4 : 3) + picture.height);
    for (int y = 0; y < picture.height; ++y) {
        if (filterBytes) out.push_back(0);
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t c = picture.at(x, y);
            out.push_back(static_cast<std::uint8_t>(c >> 16));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c));
            if (alpha) out.push_back(static_cast<std::uint8_t>(c >> 24));
        }
    }
    return out;
}

} // namespace

std::vector<std::uint8_t> encodePng(const Picture& picture, bool alpha)
{
    std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, static_cast<std::uint32_t>(picture.width));
    put32be(header, static_cast<std::uint32_t>(picture.height));
    header.insert(header.end(), {8, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, 0});
    pngChunk(out, "IHDR", header);

    const std::vector<std::uint8_t> raw = channels(picture, alpha, true);
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("PNG compression failed");
    packed.resize(size);
    pngChunk(out, "IDAT", packed);
    pngChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> encodeTga(const Picture& picture, bool alpha)
{
    std::vector<std::uint8_t> out(18, 0);
    out[2] = 2; // uncompressed true-colour
    out[12] = static_cast<std::uint8_t>(picture.width);
    out[13] = static_cast<std::uint8_t>(picture.width >> 8);
    out[14] = static_cast<std::uint8_t>(picture.height);
    out[15] = static_cast<std::uint8_t>(picture.height >> 8);
    out[16] = alpha ? 32 : 24;
    out[17] = static_cast<std::uint8_t>(0x20 | (alpha ? 8 : 0)); // top row first, alpha bits
    for (std::uint32_t c : picture.argb) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (alpha) out.push_back(static_cast<std::uint8_t>(c >> 24));
    }
    return out;
}

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, std::clamp(quality, 1, 100), TRUE);
    jpeg_start_compress(&info, TRUE);
    const std::vector<std::uint8_t> rgb = channels(picture, false, false);
    const auto stride = static_cast<std::size_t>(picture.width) * 3;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}
