// PNG chunks by hand with zlib; JPEGs with libjpeg's compressor.

#include "raw_picture_files.h"

#include <zlib.h>

#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>

void appendPngChunk(std::vector<std::uint8_t>& png, const PngChunk& chunk)
{
    const std::uint32_t length = std::uint32_t(chunk.data.size());
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(std::uint8_t(length >> shift));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), chunk.type.begin(), chunk.type.end());
    png.insert(png.end(), chunk.data.begin(), chunk.data.end());
    const uLong crc = crc32(0, png.data() + typeAt, uInt(png.size() - typeAt));
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(std::uint8_t(crc >> shift));
}

std::vector<std::uint8_t> pngIhdr(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth,
                                  std::uint8_t colourType)
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> ihdr;
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) ihdr.push_back(std::uint8_t(value >> shift));
    for (std::uint8_t b : {bitDepth, colourType, std::uint8_t(0), std::uint8_t(0), std::uint8_t(0)}) ihdr.push_back(b);
    appendPngChunk(png, {"IHDR", ihdr});
    return png;
}

std::vector<std::uint8_t> rawPng(std::uint32_t width, std::uint32_t height, std::uint8_t bitDepth,
                                 std::uint8_t colourType, const std::vector<std::vector<std::uint8_t>>& rows,
                                 const std::vector<PngChunk>& extra)
{
    std::vector<std::uint8_t> png = pngIhdr(width, height, bitDepth, colourType);
    for (const PngChunk& chunk : extra) appendPngChunk(png, chunk);
    std::vector<std::uint8_t> filtered;
    for (const auto& row : rows) {
        filtered.push_back(0);
        filtered.insert(filtered.end(), row.begin(), row.end());
    }
    uLongf packedSize = compressBound(uLong(filtered.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress(packed.data(), &packedSize, filtered.data(), uLong(filtered.size())) != Z_OK)
        throw std::runtime_error("zlib refused the test rows");
    packed.resize(packedSize);
    appendPngChunk(png, {"IDAT", packed});
    appendPngChunk(png, {"IEND", {}});
    return png;
}

std::vector<std::uint8_t> libjpegEncode(unsigned width, unsigned height, unsigned components,
                                        const std::vector<std::uint8_t>& samples, int quality, JpegLayout layout)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // the test inputs are valid: errors end the test run
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = int(components);
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    // Full-resolution colour, so flat blocks survive as in the stb_image_write fixtures.
    for (int c = 0; c < info.num_components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (layout == JpegLayout::Progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPLE*>(&samples[std::size_t(info.next_scanline) * width * components]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}
