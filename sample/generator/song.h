// The sample demo's music: 120 beats a minute in A minor, bars of two seconds. The script
// cuts to its sections, so their places in the file are part of the interface.
#pragma once

#include "synth.h"

#include <cstdint>
#include <vector>

inline constexpr double kBarSeconds = 2.0;
inline constexpr int kSongRate = 44100;

// Bar where each section starts in the file; the song ends at kSongBars.
struct SongSections {
    static constexpr int intro = 0;   // pad and hats
    static constexpr int build = 8;   // bass and kick come in
    static constexpr int drop = 16;   // everything, with the lead
    static constexpr int breakdown = 24; // pad and lead, no drums
    static constexpr int outro = 28;  // drums fall away, a last chord
};
inline constexpr int kSongBars = 32;

StereoMix composeSong();

// The song's length: its bars and a two second tail for the last chord.
inline constexpr double kSongSeconds = kSongBars * kBarSeconds + 2.0;
