// The per-format halves of the picture decoder. Each reads a header (nullopt when the bytes
// are not that format, damaged, or beyond the limits) and decodes a body into width × height
// RGBA pixels (null on any failure). decodePicture checks the header before calling a decoder,
// except for JPEG, whose decoder reads and checks its header itself.
#pragma once

#include "platform/d3dx/picture_decoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>

// Within the side and pixel ceilings.
bool pictureSizeAllowed(std::uint64_t width, std::uint64_t height);

bool looksLikePng(const std::uint8_t* data, std::size_t size);
std::optional<PictureHeader> readPngHeader(const std::uint8_t* data, std::size_t size);
DecodedPixels decodePng(const std::uint8_t* data, std::size_t size, const PictureHeader& header);
// The fast path decodePng tries first. nullopt when it does not take the picture, which is
// then for libspng to decode or refuse; otherwise the pixels.
std::optional<DecodedPixels> decodePngDirect(const std::uint8_t* data, std::size_t size, const PictureHeader& header);

// Starts like a JPEG: 0xFF, any further 0xFF fill bytes, then 0xD8.
bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);
std::optional<PictureHeader> readJpegHeader(const std::uint8_t* data, std::size_t size);
std::optional<DecodedPicture> decodeJpegPicture(const std::uint8_t* data, std::size_t size);

// BMP when the bytes pass as one, otherwise TGA (the one format without a signature).
std::optional<PictureHeader> readTgaOrBmpHeader(const std::uint8_t* data, std::size_t size);
DecodedPixels decodeTgaOrBmp(const std::uint8_t* data, std::size_t size, const PictureHeader& header);
