// A guard in front of the JPEG decoder: its Huffman table builder writes past its arrays when
// a table declares more than 256 codes, so every table a JPEG stream defines is checked first.
// Walks the markers the way the decoder does (fill bytes, junk between segments, entropy-coded
// data with stuffed bytes and restart markers) without decoding anything.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the bytes start like a JPEG to the decoder: 0xFF, any further 0xFF, then 0xD8.
bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);

// False when some Huffman table in the stream declares more than 256 codes. Streams that are
// not JPEG pass.
bool jpegHuffmanTablesFit(const std::uint8_t* data, std::size_t size);
