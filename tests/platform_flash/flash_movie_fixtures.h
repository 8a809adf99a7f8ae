// Flash movie files made by the tests: the fixed header, the bit-packed frame rectangle, rate
// and count, a few tag bytes, and the body stored, zlib-compressed ("CWS") or LZMA-compressed
// ("ZWS", with its compressed length and five property bytes before the stream).
#pragma once

#include "platform/flash/flash_movie_header.h"

#include <cstdint>
#include <vector>

struct TestMovie {
    FlashCompression compression = FlashCompression::None;
    std::uint8_t version = 10;
    FlashFrameRect rect{0, 16000, 0, 12000};
    std::uint16_t frameRate = 25 << 8;
    std::uint16_t frameCount = 1;
    unsigned rectBits = 0;       // 0: the fewest that hold every coordinate
    std::size_t tagBytes = 64;   // of filler after the count, so the body is worth compressing
};

std::vector<std::uint8_t> makeFlashMovie(const TestMovie& movie);
