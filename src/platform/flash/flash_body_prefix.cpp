#include "platform/flash/flash_body_prefix.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

// zlib and liblzma count in 32-bit and size_t units; a body beyond 4 GiB is cut here, which
// changes nothing for a prefix of a few bytes.
uInt zlibLength(std::size_t size)
{
    return static_cast<uInt>(std::min<std::size_t>(size, std::numeric_limits<uInt>::max()));
}

// The smallest dictionary liblzma accepts. The prefix is far shorter than this, so no match
// of a sound stream reaches further back, and a movie claiming a 4 GiB dictionary costs
// nothing.
constexpr std::uint32_t kPrefixDictionary = LZMA_DICT_SIZE_MIN;
constexpr std::size_t kLzmaPropertyBytes = 5;

} // namespace

std::vector<std::uint8_t> inflatePrefix(const std::uint8_t* data, std::size_t size, std::size_t wanted)
{
    std::vector<std::uint8_t> out(wanted);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return {};
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = zlibLength(size);
    stream.next_out = out.data();
    stream.avail_out = zlibLength(wanted);
    // One call with all input and a small output buffer: inflate stops when the buffer is
    // full, the stream ends or the data is bad; each leaves what was produced so far.
    int result = Z_OK;
    while (result == Z_OK && stream.avail_out > 0 && stream.avail_in > 0) result = inflate(&stream, Z_NO_FLUSH);
    out.resize(wanted - stream.avail_out);
    inflateEnd(&stream);
    return out;
}

std::vector<std::uint8_t> lzmaPrefix(const std::uint8_t* data, std::size_t size, std::size_t wanted)
{
    if (size < kLzmaPropertyBytes) return {};
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, data, kLzmaPropertyBytes) != LZMA_OK) return {};
    auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
    options->dict_size = kPrefixDictionary;

    std::vector<std::uint8_t> out(wanted);
    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret started = lzma_raw_decoder(&stream, filters);
    std::free(options); // liblzma copied what it needs; properties_decode allocated with malloc
    if (started != LZMA_OK) return {};
    stream.next_in = data + kLzmaPropertyBytes;
    stream.avail_in = size - kLzmaPropertyBytes;
    stream.next_out = out.data();
    stream.avail_out = wanted;
    // Stops at a full buffer, the end of the stream, bad data, or a call that made no progress
    // (the input is used up and nothing more is pending).
    while (stream.avail_out > 0) {
        const std::size_t inBefore = stream.avail_in, outBefore = stream.avail_out;
        if (lzma_code(&stream, LZMA_RUN) != LZMA_OK) break;
        if (stream.avail_in == inBefore && stream.avail_out == outBefore) break;
    }
    out.resize(wanted - stream.avail_out);
    lzma_end(&stream);
    return out;
}
