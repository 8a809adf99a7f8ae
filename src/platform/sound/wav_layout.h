// Where a RIFF/WAVE file keeps its sample frames, for starting playback at an exact frame.
// Only uncompressed sample formats qualify: there a frame is always blockAlign bytes.
#pragma once

#include <SDL_rwops.h>

#include <cstdint>
#include <optional>

struct WavLayout {
    std::int64_t dataStart;  // file offset of the first frame
    std::int64_t dataEnd;    // one past the last whole frame
    int blockAlign;          // bytes per frame
    int sampleRate;          // frames per second

    // File offset of the frame at `milliseconds`, within the data.
    std::int64_t byteOffsetAt(int milliseconds) const;
};

// Reads the header from the file's start and puts the position back; nothing for anything
// but an uncompressed WAVE file with a sane format and a data chunk.
std::optional<WavLayout> readWavLayout(SDL_RWops* file);
