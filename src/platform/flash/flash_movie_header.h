// The fixed start of a Flash movie file, which is all the hosted control needs to answer
// TotalFrames: signature and version, the declared file length, then (inside the compressed
// body for "CWS" and "ZWS") the bit-packed frame rectangle, the frame rate and the frame count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

enum class FlashCompression { None, Zlib, Lzma };

// In twips (1/20 pixel), as stored.
struct FlashFrameRect {
    std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};

struct FlashMovieHeader {
    FlashCompression compression = FlashCompression::None;
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0; // of the uncompressed movie, header included
    FlashFrameRect frameRect;
    std::uint16_t frameRate = 0; // 8.8 fixed point frames per second
    std::uint16_t frameCount = 0;
};

// The first bytes of a movie file whatever their compression, then the rectangle, rate and
// count. Nothing when the signature is unknown, the data ends too soon or the body does not
// decompress that far. Never reads outside [data, data + size).
std::optional<FlashMovieHeader> readFlashMovieHeader(const std::uint8_t* data, std::size_t size);

// Most bytes of a body the rectangle, rate and count can take (a 5-bit size, four 31-bit
// values, padding, two 16-bit numbers).
constexpr std::size_t kFlashBodyHeaderMax = 17 + 2 + 2;
