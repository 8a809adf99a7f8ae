// A zlib stream of `count` zero bytes, deflated a mebibyte at a time so neither the plain bytes
// nor a large copy ever exist: the raw material of decompression bombs in the hostile-content tests.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> zerosStream(std::size_t count)
{
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) return {};
    static const std::vector<std::uint8_t> zeros(std::size_t{1} << 20);
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[64 * 1024];
    for (std::size_t left = count;;) {
        const std::size_t now = std::min(left, zeros.size());
        left -= now;
        stream.next_in = const_cast<Bytef*>(zeros.data());
        stream.avail_in = static_cast<uInt>(now);
        const int flush = left ? Z_NO_FLUSH : Z_FINISH;
        int result = Z_OK;
        do {
            stream.next_out = chunk;
            stream.avail_out = sizeof chunk;
            result = deflate(&stream, flush);
            out.insert(out.end(), chunk, chunk + (sizeof chunk - stream.avail_out));
        } while (stream.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
        if (!left) break;
    }
    deflateEnd(&stream);
    return out;
}
