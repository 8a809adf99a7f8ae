// The picture decoder under the helper library's texture-file functions: PNG (libspng), JPEG
// (libjpeg-turbo), TGA and BMP (stb_image) from memory, always handed out as 8-bit R, G, B, A.
//
// A picture file is content from strangers, so every allocation its sizes drive is bounded
// twice, before anything is decoded:
// - by fixed ceilings: at most kMaxPictureSide pixels a side and kMaxPicturePixels in all
//   (so at most kMaxDecodedBytes decoded); no single allocation of a decoder above
//   kMaxDecodedBytes; JPEG's working memory (a progressive picture's coefficients) at most
//   kMaxJpegWorkingBytes; PNG's ancillary chunks at most kMaxPngChunkCacheBytes together;
// - by what the stored bytes can produce: a PNG's filtered rows at most 1032 times the file
//   (deflate's largest ratio), a JPEG at least one bit per 8 × 8 block, a TGA or BMP every
//   pixel it declares (a run-length TGA is walked packet by packet).
// Pictures that break either bound are refused like undecodable ones, and so are damaged
// bodies (a truncated PNG, JPEG or TGA is not padded out with garbage).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

constexpr unsigned kMaxPictureSide = 8192;
constexpr std::size_t kMaxPicturePixels = std::size_t{8192} * 8192;
constexpr std::size_t kMaxDecodedBytes = kMaxPicturePixels * 4;
constexpr std::size_t kMaxJpegWorkingBytes = std::size_t{512} << 20;
constexpr std::size_t kMaxPngChunkCacheBytes = std::size_t{8} << 20;

enum class PictureFileKind { Bmp, Jpeg, Tga, Png };

struct PictureHeader {
    unsigned width = 0;
    unsigned height = 0;
    // Channels stored in the file: 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA.
    unsigned components = 0;
    PictureFileKind kind = PictureFileKind::Tga;
};

// Frees pixels that came from pictureAllocate (std::free underneath).
struct DecodedPixelsDeleter {
    void operator()(std::uint8_t* pixels) const;
};
using DecodedPixels = std::unique_ptr<std::uint8_t[], DecodedPixelsDeleter>;

struct DecodedPicture {
    PictureHeader header;
    // width × height pixels of 4 bytes R, G, B, A, top row first, rows packed.
    DecodedPixels rgba;
};

// Reads only the header; nullopt when the bytes are no picture we decode or break the limits.
std::optional<PictureHeader> readPictureHeader(const void* data, std::size_t size);

// Decodes the whole picture; nullopt on any failure (header, limits or a damaged body).
std::optional<DecodedPicture> decodePicture(const void* data, std::size_t size);
