// Fuzzes the WAVE header reader that lets music start at an exact frame: whatever it accepts
// must describe frames inside the file, and the read position must come back to the start.
// The header check that guards the mixer's decoders reads the same bytes and must put the
// position back too.
// fuzz-libs: platform_sound
#include "platform/sound/music_header_check.h"
#include "platform/sound/wav_layout.h"

#include <SDL_rwops.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SDL_RWops* file = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!file) return 0;
    const std::optional<WavLayout> layout = readWavLayout(file);
    if (SDL_RWtell(file) != 0) __builtin_trap();
    if (size > 1) SDL_RWseek(file, 1, RW_SEEK_SET);
    musicHeaderIsSane(file);
    if (SDL_RWtell(file) != (size > 1 ? 1 : 0)) __builtin_trap();
    SDL_RWseek(file, 0, RW_SEEK_SET);
    if (layout) {
        if (layout->blockAlign <= 0 || layout->sampleRate <= 0) __builtin_trap();
        if (layout->dataStart < 0 || layout->dataStart > layout->dataEnd) __builtin_trap();
        if (layout->dataEnd > static_cast<std::int64_t>(size)) __builtin_trap();
        const std::int64_t offset = layout->byteOffsetAt(1000);
        if (offset < layout->dataStart || offset > layout->dataEnd) __builtin_trap();
    }
    SDL_RWclose(file);
    return 0;
}
