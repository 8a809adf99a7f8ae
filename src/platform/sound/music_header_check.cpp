// The same chunk walk as the mixer's: RIFF chunks little-endian, AIFF (IFF) chunks big-endian,
// both padded to even lengths. Only the format chunk is judged; the frames are not read.
#include "platform/sound/music_header_check.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxChannels = 8;
constexpr double kMaxRate = 768000.0;

std::uint32_t le32(const std::uint8_t* b) { return b[0] | (b[1] << 8) | (b[2] << 16) | (std::uint32_t(b[3]) << 24); }
std::uint16_t le16(const std::uint8_t* b) { return std::uint16_t(b[0] | (b[1] << 8)); }
std::uint32_t be32(const std::uint8_t* b) { return (std::uint32_t(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3]; }
std::uint16_t be16(const std::uint8_t* b) { return std::uint16_t((b[0] << 8) | b[1]); }

// A chunk body of `size` bytes at `body` lies within the file (when its size is known).
bool fits(Sint64 fileSize, Sint64 body, std::uint32_t size)
{
    return fileSize < 0 || Sint64(size) <= fileSize - body;
}

bool readExactly(SDL_RWops* file, void* destination, std::size_t size)
{
    return SDL_RWread(file, destination, 1, size) == size;
}

bool waveFormatIsSane(const std::uint8_t* fmt, std::uint32_t size)
{
    int tag = le16(fmt);
    const int channels = le16(fmt + 2);
    const std::uint32_t rate = le32(fmt + 4);
    const int blockAlign = le16(fmt + 12);
    const int bits = le16(fmt + 14);
    if (tag == 0xFFFE) {
        if (size < 40) return false;
        tag = le16(fmt + 24);  // the subformat GUID begins with the format tag
    }
    if (channels < 1 || channels > kMaxChannels || rate < 1 || rate > kMaxRate || blockAlign < 1) return false;
    switch (tag) {
    case 1:  // integer PCM
        return (bits == 8 || bits == 16 || bits == 24 || bits == 32) && blockAlign == channels * bits / 8;
    case 3:  // float PCM
        return (bits == 32 || bits == 64) && blockAlign == channels * bits / 8;
    case 6:  // A-law
    case 7:  // mu-law
        return bits == 8 && blockAlign == channels;
    case 2:  // MS ADPCM: a 7-byte header per channel opens every block
        return bits == 4 && size >= 20 && blockAlign >= 7 * channels;
    case 0x11:  // IMA ADPCM: a 4-byte header per channel opens every block
        return bits == 4 && size >= 20 && blockAlign >= 4 * channels;
    default:
        return false;  // nothing the mixer could decode
    }
}

bool waveIsSane(SDL_RWops* file, Sint64 fileSize)
{
    for (;;) {
        std::uint8_t header[8];
        if (!readExactly(file, header, sizeof header)) return false;  // no data chunk
        const std::uint32_t size = le32(header + 4);
        const Sint64 body = SDL_RWtell(file);
        if (body < 0) return false;
        if (std::memcmp(header, "fmt ", 4) == 0) {
            std::uint8_t fmt[40] = {};
            if (size < 16 || !fits(fileSize, body, size)) return false;
            if (!readExactly(file, fmt, size < sizeof fmt ? size : sizeof fmt)) return false;
            return waveFormatIsSane(fmt, size);
        }
        if (std::memcmp(header, "data", 4) == 0) return false;  // frames before any format
        if (SDL_RWseek(file, body + size + (size & 1), RW_SEEK_SET) < 0) return false;
    }
}

// The rate of an AIFF file is an 80-bit extended float: sign and exponent, then a 64-bit
// mantissa with an explicit leading bit.
double extendedToDouble(const std::uint8_t* b)
{
    const int exponent = ((b[0] & 0x7F) << 8) | b[1];
    std::uint64_t mantissa = 0;
    for (int i = 2; i < 10; ++i) mantissa = (mantissa << 8) | b[i];
    if ((b[0] & 0x80) || exponent == 0x7FFF) return -1.0;
    return std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
}

bool aiffIsSane(SDL_RWops* file, Sint64 fileSize)
{
    for (;;) {
        std::uint8_t header[8];
        if (!readExactly(file, header, sizeof header)) return false;  // no common chunk
        const std::uint32_t size = be32(header + 4);
        const Sint64 body = SDL_RWtell(file);
        if (body < 0) return false;
        if (std::memcmp(header, "COMM", 4) == 0) {
            std::uint8_t comm[18];
            if (size < sizeof comm || !fits(fileSize, body, size) || !readExactly(file, comm, sizeof comm)) return false;
            const int channels = static_cast<std::int16_t>(be16(comm));
            const int bits = static_cast<std::int16_t>(be16(comm + 6));
            const double rate = extendedToDouble(comm + 8);
            return channels >= 1 && channels <= kMaxChannels && bits >= 1 && bits <= 32 && rate >= 1.0 &&
                   rate <= kMaxRate;
        }
        if (SDL_RWseek(file, body + size + (size & 1), RW_SEEK_SET) < 0) return false;
    }
}

bool headerIsSane(SDL_RWops* file)
{
    std::uint8_t start[12];
    if (!readExactly(file, start, sizeof start)) return true;  // too short to be either
    const Sint64 fileSize = SDL_RWsize(file);
    if (std::memcmp(start, "RIFF", 4) == 0 && std::memcmp(start + 8, "WAVE", 4) == 0) return waveIsSane(file, fileSize);
    if (std::memcmp(start, "FORM", 4) == 0 && (std::memcmp(start + 8, "AIFF", 4) == 0 || std::memcmp(start + 8, "AIFC", 4) == 0))
        return aiffIsSane(file, fileSize);
    return true;
}

} // namespace

bool musicHeaderIsSane(SDL_RWops* file)
{
    const Sint64 position = SDL_RWtell(file);
    if (position < 0 || SDL_RWseek(file, 0, RW_SEEK_SET) < 0) return false;
    const bool sane = headerIsSane(file);
    SDL_RWseek(file, position, RW_SEEK_SET);
    return sane;
}
