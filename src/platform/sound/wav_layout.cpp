// RIFF/WAVE chunk walk: the "fmt " chunk's frame size and rate, the "data" chunk's extent.
#include "platform/sound/wav_layout.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFormatPcm = 1;
constexpr int kFormatFloat = 3;
constexpr int kFormatExtensible = 0xFFFE;

std::uint32_t le32(const std::uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint16_t le16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

bool readExactly(SDL_RWops* file, void* destination, size_t size)
{
    return SDL_RWread(file, destination, 1, size) == size;
}

struct Format {
    int tag = 0;
    int blockAlign = 0;
    int sampleRate = 0;
};

std::optional<WavLayout> walkChunks(SDL_RWops* file)
{
    std::uint8_t riff[12];
    if (!readExactly(file, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    const Sint64 fileSize = SDL_RWsize(file);
    std::optional<Format> format;
    for (;;) {
        std::uint8_t header[8];
        if (!readExactly(file, header, sizeof header)) return std::nullopt;
        const std::int64_t size = le32(header + 4);
        const Sint64 body = SDL_RWtell(file);
        if (body < 0) return std::nullopt;

        if (std::memcmp(header, "fmt ", 4) == 0) {
            std::uint8_t fmt[26] = {};
            if (size < 16 || !readExactly(file, fmt, static_cast<size_t>(std::min<std::int64_t>(size, sizeof fmt)))) {
                return std::nullopt;
            }
            Format found{le16(fmt), le16(fmt + 12), static_cast<int>(le32(fmt + 4))};
            if (found.tag == kFormatExtensible && size >= 26) found.tag = le16(fmt + 24);
            format = found;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!format || (format->tag != kFormatPcm && format->tag != kFormatFloat) || format->blockAlign <= 0 ||
                format->sampleRate <= 0) {
                return std::nullopt;
            }
            // The data chunk may claim more than the file holds; only whole frames count.
            std::int64_t bytes = size;
            if (fileSize >= 0) bytes = std::min<std::int64_t>(bytes, fileSize - body);
            bytes -= bytes % format->blockAlign;
            return WavLayout{body, body + bytes, format->blockAlign, format->sampleRate};
        }
        // Chunks are padded to an even length.
        if (SDL_RWseek(file, body + size + (size & 1), RW_SEEK_SET) < 0) return std::nullopt;
    }
}

} // namespace

std::int64_t WavLayout::byteOffsetAt(int milliseconds) const
{
    const std::int64_t frame = static_cast<std::int64_t>(std::max(milliseconds, 0)) * sampleRate / 1000;
    return std::min(dataStart + frame * blockAlign, dataEnd);
}

std::optional<WavLayout> readWavLayout(SDL_RWops* file)
{
    const Sint64 position = SDL_RWtell(file);
    if (position < 0 || SDL_RWseek(file, 0, RW_SEEK_SET) < 0) return std::nullopt;
    std::optional<WavLayout> layout = walkChunks(file);
    SDL_RWseek(file, position, RW_SEEK_SET);
    return layout;
}
