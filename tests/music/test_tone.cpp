// Tone samples and their WAV file.
#include "test_tone.h"

#include <cmath>
#include <numbers>

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

} // namespace

std::vector<std::int16_t> toneSamples(int sampleRate, double amplitude, const std::vector<TonePiece>& pieces)
{
    std::vector<std::int16_t> samples;
    for (const TonePiece& piece : pieces) {
        // Whole samples per piece, so a piece at time t starts exactly at sample t * rate.
        const auto count = static_cast<long>(std::lround(piece.seconds * sampleRate));
        for (long i = 0; i < count; ++i) {
            const double phase = 2.0 * std::numbers::pi * piece.frequency * static_cast<double>(i) / sampleRate;
            samples.push_back(static_cast<std::int16_t>(std::lround(amplitude * 32767.0 * std::cos(phase))));
        }
    }
    return samples;
}

std::vector<std::uint8_t> wavFile(int sampleRate, const std::vector<std::int16_t>& samples)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    putTag(out, "RIFF");
    put32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<std::uint32_t>(sampleRate));
    put32(out, static_cast<std::uint32_t>(sampleRate * 2));
    put16(out, 2);   // bytes per frame
    put16(out, 16);  // bits per sample
    putTag(out, "data");
    put32(out, dataBytes);
    for (std::int16_t sample : samples) put16(out, static_cast<std::uint16_t>(sample));
    return out;
}
