// Test picture patterns and their encoders.

#include "picture_fixtures.h"

#include <fstream>
#include <stdexcept>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void append(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
}

template <typename Encode>
std::vector<std::uint8_t> encodeWith(Encode encode)
{
    std::vector<std::uint8_t> bytes;
    if (!encode(&bytes)) throw std::runtime_error("encoding the test picture failed");
    return bytes;
}

} // namespace

std::uint32_t TestPicture::argb(unsigned x, unsigned y) const
{
    const std::uint8_t* p = at(x, y);
    std::uint32_t r, g, b, a = 255;
    if (channels <= 2) {
        r = g = b = p[0];
        if (channels == 2) a = p[1];
    } else {
        r = p[0];
        g = p[1];
        b = p[2];
        if (channels == 4) a = p[3];
    }
    return (a << 24) | (r << 16) | (g << 8) | b;
}

TestPicture patternPicture(unsigned width, unsigned height, unsigned channels, unsigned seed)
{
    TestPicture picture{width, height, channels, std::vector<std::uint8_t>(std::size_t(width) * height * channels)};
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x)
            for (unsigned c = 0; c < channels; ++c)
                picture.pixels[(std::size_t(y) * width + x) * channels + c] =
                    static_cast<std::uint8_t>(x * 7 + y * 31 + c * 83 + seed * 59 + 1);
    return picture;
}

TestPicture blockPicture(unsigned width, unsigned height, unsigned blockSize)
{
    static constexpr std::uint8_t palette[6][3] = {{250, 20, 20}, {20, 240, 30}, {30, 40, 245},
                                                   {240, 240, 20}, {20, 230, 230}, {128, 128, 128}};
    TestPicture picture{width, height, 3, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
    for (unsigned y = 0; y < height; ++y)
        for (unsigned x = 0; x < width; ++x) {
            const auto& colour = palette[(x / blockSize + 2 * (y / blockSize)) % 6];
            for (unsigned c = 0; c < 3; ++c) picture.pixels[(std::size_t(y) * width + x) * 3 + c] = colour[c];
        }
    return picture;
}

TestPicture solidPicture(unsigned width, unsigned height, unsigned channels, std::uint32_t rgba)
{
    TestPicture picture{width, height, channels, std::vector<std::uint8_t>(std::size_t(width) * height * channels)};
    const std::uint8_t bytes[4] = {std::uint8_t(rgba >> 24), std::uint8_t(rgba >> 16), std::uint8_t(rgba >> 8),
                                   std::uint8_t(rgba)};
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i)
        for (unsigned c = 0; c < channels; ++c) picture.pixels[i * channels + c] = bytes[channels == 2 && c == 1 ? 3 : c];
    return picture;
}

std::vector<std::uint8_t> encodePng(const TestPicture& p)
{
    return encodeWith([&](std::vector<std::uint8_t>* out) {
        return stbi_write_png_to_func(append, out, int(p.width), int(p.height), int(p.channels), p.pixels.data(),
                                      int(p.width * p.channels));
    });
}

std::vector<std::uint8_t> encodeJpeg(const TestPicture& p, int quality)
{
    return encodeWith([&](std::vector<std::uint8_t>* out) {
        return stbi_write_jpg_to_func(append, out, int(p.width), int(p.height), int(p.channels), p.pixels.data(),
                                      quality);
    });
}

std::vector<std::uint8_t> encodeTga(const TestPicture& p)
{
    return encodeWith([&](std::vector<std::uint8_t>* out) {
        return stbi_write_tga_to_func(append, out, int(p.width), int(p.height), int(p.channels), p.pixels.data());
    });
}

std::vector<std::uint8_t> encodeBmp(const TestPicture& p)
{
    return encodeWith([&](std::vector<std::uint8_t>* out) {
        return stbi_write_bmp_to_func(append, out, int(p.width), int(p.height), int(p.channels), p.pixels.data());
    });
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string& path, const std::string& text)
{
    writeBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}
