// Decompresses only the start of a compressed movie body: the header reader needs a few
// dozen bytes, never the whole movie, so memory and time stay bounded whatever the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Up to `wanted` bytes of a zlib stream; fewer when the stream ends or breaks first.
std::vector<std::uint8_t> inflatePrefix(const std::uint8_t* data, std::size_t size, std::size_t wanted);

// Up to `wanted` bytes of a raw LZMA stream whose five property bytes come first, as in a
// "ZWS" movie; nothing for unusable properties.
std::vector<std::uint8_t> lzmaPrefix(const std::uint8_t* data, std::size_t size, std::size_t wanted);
