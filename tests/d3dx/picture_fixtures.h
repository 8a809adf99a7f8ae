// Test pictures made on the spot: a deterministic pattern of known pixels, encoded as PNG,
// JPEG, TGA or BMP with stb_image_write, so tests know every texel they should see.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestPicture {
    unsigned width = 0;
    unsigned height = 0;
    unsigned channels = 0; // 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA
    std::vector<std::uint8_t> pixels; // rows top first, packed

    const std::uint8_t* at(unsigned x, unsigned y) const { return &pixels[(std::size_t(y) * width + x) * channels]; }
    // The pixel as 0xAARRGGBB the way the decoder reads it (grey replicated, alpha 255 if absent).
    std::uint32_t argb(unsigned x, unsigned y) const;
};

// Every pixel different in every channel; seed varies the pattern.
TestPicture patternPicture(unsigned width, unsigned height, unsigned channels, unsigned seed = 0);
// Flat-coloured blocks of blockSize pixels: survives JPEG nearly unchanged away from edges.
TestPicture blockPicture(unsigned width, unsigned height, unsigned blockSize);
TestPicture solidPicture(unsigned width, unsigned height, unsigned channels, std::uint32_t rgba);

std::vector<std::uint8_t> encodePng(const TestPicture& picture);
std::vector<std::uint8_t> encodeJpeg(const TestPicture& picture, int quality = 100);
std::vector<std::uint8_t> encodeTga(const TestPicture& picture);
std::vector<std::uint8_t> encodeBmp(const TestPicture& picture);

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
