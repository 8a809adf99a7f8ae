// The picture decoder under the helper library's texture-file functions: PNG, JPEG, TGA and
// BMP from memory, always handed out as 8-bit R, G, B, A. Pictures wider or taller than
// kMaxPictureSide, or larger than kMaxDecodedBytes decoded, are refused like undecodable ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

constexpr unsigned kMaxPictureSide = 8192;
constexpr std::size_t kMaxDecodedBytes = std::size_t{256} << 20;

enum class PictureFileKind { Bmp, Jpeg, Tga, Png };

struct PictureHeader {
    unsigned width = 0;
    unsigned height = 0;
    // Channels stored in the file: 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA.
    unsigned components = 0;
    PictureFileKind kind = PictureFileKind::Tga;
};

struct DecodedPixelsDeleter {
    void operator()(std::uint8_t* pixels) const;
};

struct DecodedPicture {
    PictureHeader header;
    // width × height pixels of 4 bytes R, G, B, A, top row first, rows packed.
    std::unique_ptr<std::uint8_t[], DecodedPixelsDeleter> rgba;
};

// Reads only the header; nullopt when the bytes are no picture we decode or break the limits.
std::optional<PictureHeader> readPictureHeader(const void* data, std::size_t size);

// Decodes the whole picture; nullopt on any failure (header, limits or a damaged body).
std::optional<DecodedPicture> decodePicture(const void* data, std::size_t size);
