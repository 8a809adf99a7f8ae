// Test tones: 16-bit mono samples made of constant-pitch pieces, each starting at phase 0
// of a cosine (so every piece begins at full amplitude), and the files that carry them:
// WAV here, OGG Vorbis, FLAC and MP3 through the encoder libraries when they are present.
#pragma once

#include <cstdint>
#include <vector>

struct TonePiece {
    double seconds;
    double frequency;
};

std::vector<std::int16_t> toneSamples(int sampleRate, double amplitude, const std::vector<TonePiece>& pieces);

std::vector<std::uint8_t> wavFile(int sampleRate, const std::vector<std::int16_t>& samples);
std::vector<std::uint8_t> oggVorbisFile(int sampleRate, const std::vector<std::int16_t>& samples);
std::vector<std::uint8_t> flacFile(int sampleRate, const std::vector<std::int16_t>& samples);
std::vector<std::uint8_t> mp3File(int sampleRate, const std::vector<std::int16_t>& samples);
