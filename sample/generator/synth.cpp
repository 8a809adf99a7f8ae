#include "synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Linear attack, then exponential fall after the key is released.
float envelope(double t, double attack, double held, double release)
{
    if (t < attack) return static_cast<float>(t / attack);
    if (t < held) return 1.0f;
    return static_cast<float>(std::exp(-(t - held) / release));
}

float saw(double phase) { return static_cast<float>(2.0 * (phase - std::floor(phase)) - 1.0); }
float square(double phase) { return phase - std::floor(phase) < 0.5 ? 1.0f : -1.0f; }

} // namespace

double midiToHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

StereoMix::StereoMix(double seconds, int sampleRate) : rate_(sampleRate)
{
    if (!(seconds > 0.0) || seconds > 600.0 || sampleRate < 8000 || sampleRate > 192000)
        throw std::invalid_argument("mix length or rate out of range");
    const auto frames = static_cast<std::size_t>(seconds * sampleRate);
    left_.assign(frames, 0.0f);
    right_.assign(frames, 0.0f);
}

float StereoMix::noise()
{
    noiseState_ = noiseState_ * 1664525u + 1013904223u;
    return static_cast<float>(noiseState_ >> 8) / 8388608.0f - 1.0f;
}

void StereoMix::add(std::size_t frame, float value, float pan)
{
    // Constant-power panning: the centre sits at 0.707 on both sides.
    const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.7853982f;
    left_[frame] += value * std::cos(angle);
    right_[frame] += value * std::sin(angle);
}

void StereoMix::play(Instrument instrument, const Note& note)
{
    if (note.start < 0.0) return;
    const auto first = static_cast<std::size_t>(note.start * rate_);
    if (first >= left_.size()) return;
    const double hz = midiToHz(note.midi);
    double tail = 0.3;
    switch (instrument) {
    case Instrument::Kick: tail = 0.45; break;
    case Instrument::Snare: tail = 0.3; break;
    case Instrument::HiHat: tail = 0.08; break;
    case Instrument::Bass: tail = note.length + 0.15; break;
    case Instrument::Lead: tail = note.length + 0.5; break;
    case Instrument::Pad: tail = note.length + 1.5; break;
    }
    const std::size_t count = std::min(left_.size() - first, static_cast<std::size_t>(tail * rate_));
    double phase = 0.0, phase2 = 0.0, phase3 = 0.0;
    float low = 0.0f, low2 = 0.0f;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate_;
        const double dt = 1.0 / rate_;
        float v = 0.0f;
        switch (instrument) {
        case Instrument::Kick: {
            // A sine whose pitch drops quickly from a click to a thump.
            const double f = 45.0 + 110.0 * std::exp(-t * 30.0);
            phase += f * dt;
            v = static_cast<float>(std::sin(kTwoPi * phase) * std::exp(-t * 7.0));
            break;
        }
        case Instrument::Snare: {
            phase += 185.0 * dt;
            const float tone = static_cast<float>(std::sin(kTwoPi * phase) * std::exp(-t * 25.0));
            v = 0.55f * noise() * static_cast<float>(std::exp(-t * 14.0)) + 0.4f * tone;
            break;
        }
        case Instrument::HiHat: {
            // Noise minus its low part leaves the hiss.
            const float n = noise();
            low += 0.25f * (n - low);
            v = 0.5f * (n - low) * static_cast<float>(std::exp(-t * 55.0));
            break;
        }
        case Instrument::Bass: {
            phase += hz * dt;
            phase2 += hz * 0.5 * dt;
            const float raw = 0.6f * saw(phase) + 0.4f * square(phase2);
            const float cutoff = 0.04f + 0.2f * static_cast<float>(std::exp(-t * 8.0));
            low += cutoff * (raw - low);
            v = low * envelope(t, 0.005, note.length, 0.05);
            break;
        }
        case Instrument::Lead: {
            const double vibrato = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 2.0);
            phase += hz * vibrato * dt;
            phase2 += hz * vibrato * 1.006 * dt;
            const float raw = 0.5f * square(phase) + 0.5f * saw(phase2);
            low += 0.18f * (raw - low);
            v = 0.6f * low * envelope(t, 0.01, note.length, 0.18);
            break;
        }
        case Instrument::Pad: {
            phase += hz * 0.997 * dt;
            phase2 += hz * 1.003 * dt;
            phase3 += hz * 2.0 * dt;
            const float raw = (saw(phase) + saw(phase2) + 0.4f * saw(phase3)) / 2.4f;
            low += 0.05f * (raw - low);
            low2 += 0.05f * (low - low2);
            v = 0.5f * low2 * envelope(t, 0.6, note.length, 0.6);
            break;
        }
        }
        add(first + i, v * note.velocity, note.pan);
    }
}

std::vector<std::int16_t> StereoMix::toPcm16(float peak) const
{
    float loudest = 0.0f;
    for (std::size_t i = 0; i < left_.size(); ++i) loudest = std::max({loudest, std::fabs(left_[i]), std::fabs(right_[i])});
    const float gain = loudest > 0.0f ? peak / loudest : 0.0f;
    std::vector<std::int16_t> out;
    out.reserve(left_.size() * 2);
    for (std::size_t i = 0; i < left_.size(); ++i) {
        for (float v : {left_[i], right_[i]})
            out.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v * gain, -1.0f, 1.0f) * 32767.0f)));
    }
    return out;
}
