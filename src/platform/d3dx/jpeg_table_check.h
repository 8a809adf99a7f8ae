// A guard in front of the JPEG decoder, which trusts its Huffman tables: a table declaring
// more than 256 codes makes it write past its arrays, and a scan naming a table the stream
// never defined makes it decode with uninitialised memory and read out of bounds. Both are
// checked here first, walking the markers the way the decoder does (fill bytes, junk between
// segments, entropy-coded data with stuffed bytes and restart markers) without decoding.
#pragma once

#include <cstddef>
#include <cstdint>

// True when the bytes start like a JPEG to the decoder: 0xFF, any further 0xFF, then 0xD8.
bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);

// False when a Huffman table declares more than 256 codes or a scan decodes with a table not
// defined before it. Streams that are not JPEG pass.
bool jpegHuffmanTablesSound(const std::uint8_t* data, std::size_t size);
