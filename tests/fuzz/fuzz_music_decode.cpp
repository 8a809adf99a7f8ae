// Music files as capture decodes them for the soundtrack: any bytes give samples or a reason,
// never a crash, a read outside the bytes or more samples than the limit allows.
// fuzz-libs: demotool_video
#include "video/music_decoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kLimit = 44100 * 10;
    std::string error;
    const std::span<const std::uint8_t> bytes(data, size);
    const auto music = decodeMusic(bytes, 44100, error, kLimit);
    if (music && (music->frames() > kLimit || music->samples.size() % 2 != 0)) std::abort();
    if (!music && error.empty()) std::abort();
    musicOpens(bytes);
    return 0;
}
