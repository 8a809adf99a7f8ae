// Turns the recorded stretches of music into the capture's soundtrack, piece by piece as the
// capture advances: sample n of the soundtrack is at n / rate seconds of the virtual clock, and
// a stretch that began at startMs from fileMs sounds file sample round(fileMs * rate / 1000) +
// (n - round(startMs * rate / 1000)), scaled by the volume the player's mixer would use.
#pragma once

#include "platform/sound/soundtrack_recorder.h"
#include "video/music_decoder.h"

#include <cstdint>
#include <functional>
#include <vector>

// The soundtrack sample that time timeMs falls on.
std::int64_t soundtrackSampleAt(double timeMs, int sampleRate);

class SoundtrackMixer {
public:
    // Decoded music for a recorded file index, or null when it does not decode.
    using MusicSource = std::function<const DecodedMusic*(std::size_t file)>;

    SoundtrackMixer(int sampleRate, MusicSource source) : rate_(sampleRate), source_(std::move(source)) {}

    // Mixes soundtrack samples [from, from + count) into out (stereo interleaved, 2 * count
    // floats, zeroed first). Only stretches known so far are heard: mix a range only once the
    // clock has passed its end.
    void mix(const std::vector<MusicPlayback>& playbacks, std::int64_t from, std::size_t count,
             std::vector<float>& out) const;

private:
    void mixOne(const MusicPlayback& playback, const DecodedMusic& music, std::int64_t from, std::size_t count,
                std::vector<float>& out) const;

    int rate_;
    MusicSource source_;
};
