// What SDL's "disk" audio driver wrote: raw 16-bit stereo frames at the mix rate, read back
// while it is still being written, and the measurements the playback tests make on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class DiskAudio {
public:
    DiskAudio(std::string path, int rate) : path_(std::move(path)), rate_(rate) {}

    // Frames written so far (whole stereo frames).
    std::size_t frames() const;
    // Waits until at least `count` frames are written; false when that takes over 20 s.
    bool waitForFrames(std::size_t count) const;
    // Waits until a sound appears at or after frame `from`; returns its first frame, or
    // npos after 20 s.
    std::size_t waitForSound(std::size_t from) const;
    // The left channel of everything written so far.
    std::vector<std::int16_t> left() const;

    std::size_t ms(double milliseconds) const { return static_cast<std::size_t>(milliseconds * rate_ / 1000.0); }
    int rate() const { return rate_; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::string path_;
    int rate_;
};

// Samples with a magnitude above this count as sound; the mixer's silence is exactly 0.
constexpr int kSilenceThreshold = 64;

// First frame at or after `from` that is sound; npos when there is none.
std::size_t firstSound(const std::vector<std::int16_t>& samples, std::size_t from);
// Last frame that is sound; npos when there is none.
std::size_t lastSound(const std::vector<std::int16_t>& samples);
// Root mean square over [from, to).
double rms(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to);
// The tone's frequency over [from, to), from the spacing of its zero crossings.
double frequency(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, int rate);
// The first zero crossing at or after `from` that follows the previous one by fewer than
// `maxHalfPeriod` frames: where a tone changes to a higher pitch. npos when there is none.
std::size_t firstShortHalfPeriod(const std::vector<std::int16_t>& samples, std::size_t from, double maxHalfPeriod);
// Power of one frequency over [from, to) (Goertzel).
double tonePower(const std::vector<std::int16_t>& samples, std::size_t from, std::size_t to, double frequency, int rate);
// Where the pitch goes from `low` to `high`: the middle of the first 10 ms window, stepping
// by 1 ms from `from`, in which `high` is the stronger. npos when it never is.
std::size_t pitchRise(const std::vector<std::int16_t>& samples, std::size_t from, double low, double high, int rate);
