// Pictures the generator draws, and the three file formats the player reads them from.
#pragma once

#include <cstdint>
#include <vector>

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb; // top row first

    Picture(int w, int h, std::uint32_t fill = 0xFF000000u);
    std::uint32_t& at(int x, int y) { return argb[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// 8-bit RGB, or RGBA when alpha is set; rows unfiltered, zlib-compressed.
std::vector<std::uint8_t> encodePng(const Picture& picture, bool alpha);
// Uncompressed true-colour, top row first: 24-bit, or 32-bit when alpha is set.
std::vector<std::uint8_t> encodeTga(const Picture& picture, bool alpha);
// Baseline JPEG (alpha dropped); quality 1–100.
std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality);

std::uint32_t argbOf(float r, float g, float b, float a = 1.0f); // channels clamped to [0, 1]
