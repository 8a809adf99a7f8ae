// Fuzzes image sequence text: any bytes parse into a listing without crashing, every frame
// name is a piece of the text, and the loop length follows from the last frame's time.
// fuzz-libs: content2d
#include "content2d/image_sequence_file.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ImageSequenceListing listing = parseImageSequence(text);
    for (const ImageSequenceEntry& entry : listing.entries) {
        if (entry.fileName.size() > size) __builtin_trap();
        if (!entry.fileName.empty() && text.find(entry.fileName) == std::string_view::npos) __builtin_trap();
        if (std::isnan(entry.timeMs)) __builtin_trap(); // only plain decimals are read
    }
    if (listing.entries.empty() && listing.loopLengthMs != 0) __builtin_trap();
    isSequenceFileName(text);
    leadingDecimal(text);
    return 0;
}
