#include "flash_movie.h"

#include <zlib.h>

#include <stdexcept>

std::vector<std::uint8_t> emptyFlashMovie()
{
    // Frame rectangle in twips: 5-bit field size 15, then 0, 16000, 0, 12000 in 15 bits each
    // (65 bits, padded to 9 bytes).
    std::vector<std::uint8_t> body{0x78, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x17, 0x70, 0x00};
    body.insert(body.end(), {0x00, 0x19, 0x01, 0x00}); // 25 frames a second (8.8), one frame
    body.insert(body.end(), {0x40, 0x00, 0x00, 0x00}); // ShowFrame, End
    uLongf size = compressBound(static_cast<uLong>(body.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress(packed.data(), &size, body.data(), static_cast<uLong>(body.size())) != Z_OK)
        throw std::runtime_error("Flash body compression failed");
    packed.resize(size);
    const auto total = static_cast<std::uint32_t>(8 + body.size());
    std::vector<std::uint8_t> out{'C', 'W', 'S', 10};
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(total >> (8 * k)));
    out.insert(out.end(), packed.begin(), packed.end());
    return out;
}
