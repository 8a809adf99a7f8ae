// Decodes a whole music file held in memory (any format FFmpeg's libraries read: Ogg Vorbis,
// MP3, FLAC, WAVE, tracker modules, ...) to interleaved stereo float samples at one rate, for
// capture's soundtrack. No seeking: a position is an index into the decoded samples, exact.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct DecodedMusic {
    int sampleRate = 0;
    std::vector<float> samples;  // left, right, left, right, ...
    std::size_t frames() const { return samples.size() / 2; }
};

// Music that decodes to more than this many frames is refused: 20 minutes at 48 kHz.
constexpr std::size_t kMaxMusicFrames = std::size_t{48000} * 60 * 20;

// Nothing, with a reason in error, when the bytes are not music that decodes or it is longer
// than maxFrames.
std::optional<DecodedMusic> decodeMusic(std::span<const std::uint8_t> bytes, int sampleRate, std::string& error,
                                        std::size_t maxFrames = kMaxMusicFrames);

// True when the bytes open as a format with an audio stream that has a decoder.
bool musicOpens(std::span<const std::uint8_t> bytes);
