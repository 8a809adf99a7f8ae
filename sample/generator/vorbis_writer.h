// Ogg Vorbis through libvorbisenc: the format the player streams the music in.
#pragma once

#include <cstdint>
#include <vector>

// Interleaved stereo 16-bit samples to an Ogg Vorbis file at the given VBR quality (−0.1 … 1).
// A rate outside 8–192 kHz or an odd sample count raises std::invalid_argument.
std::vector<std::uint8_t> encodeOggVorbis(const std::vector<std::int16_t>& interleaved, int sampleRate, float quality);
