// A small synthesizer: a stereo mix buffer and six instruments drawn into it note by note.
// Everything is computed, nothing sampled, and the noise is seeded, so a song renders to the
// same bytes on every machine.
#pragma once

#include <cstdint>
#include <vector>

enum class Instrument { Kick, Snare, HiHat, Bass, Lead, Pad };

struct Note {
    double start = 0.0;  // seconds
    double length = 0.0; // seconds the key is held; drums ignore it
    int midi = 69;       // 69 is A at 440 Hz
    float velocity = 1.0f;
    float pan = 0.0f;    // −1 left … 1 right
};

double midiToHz(int midi);

class StereoMix {
public:
    StereoMix(double seconds, int sampleRate);

    // Adds the note; whatever would sound past the end of the buffer is cut off.
    void play(Instrument instrument, const Note& note);

    int sampleRate() const { return rate_; }
    std::size_t frames() const { return left_.size(); }
    float left(std::size_t frame) const { return left_[frame]; }
    float right(std::size_t frame) const { return right_[frame]; }

    // Interleaved 16-bit, scaled so the loudest sample sits at `peak` of full scale (a silent
    // mix stays silent).
    std::vector<std::int16_t> toPcm16(float peak = 0.9f) const;

private:
    std::vector<float> left_, right_;
    int rate_;
    std::uint32_t noiseState_ = 0x12345678u;

    float noise();
    void add(std::size_t frame, float value, float pan);
};
