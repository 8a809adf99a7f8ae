#include "song.h"

#include <array>

namespace {

constexpr double kBeat = kBarSeconds / 4.0;

// i – VI – III – VII: Am, F, C, G, one chord a bar.
constexpr std::array<int, 4> kRoots{45, 41, 48, 43};
constexpr std::array<std::array<int, 3>, 4> kChords{{{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}}};

// Eighth-note steps of the lead over two bars, as scale degrees of A minor pentatonic (−1 rests).
constexpr std::array<int, 16> kLeadA{4, -1, 3, 4, 5, 4, 3, -1, 2, -1, 1, 2, 3, -1, 2, 1};
constexpr std::array<int, 16> kLeadB{5, -1, 6, 5, 4, -1, 3, 4, 2, -1, 3, -1, 1, -1, -1, -1};
constexpr std::array<int, 8> kPentatonic{57, 60, 62, 64, 67, 69, 72, 74};

double barStart(int bar) { return bar * kBarSeconds; }

void pad(StereoMix& mix, int bar, float velocity)
{
    const auto& chord = kChords[static_cast<std::size_t>(bar % 4)];
    for (std::size_t k = 0; k < chord.size(); ++k)
        mix.play(Instrument::Pad, {barStart(bar), kBarSeconds - 0.2, chord[k], velocity, -0.5f + 0.5f * static_cast<float>(k)});
}

void drums(StereoMix& mix, int bar, bool kick, bool snare, bool hats)
{
    for (int beat = 0; beat < 4; ++beat) {
        const double t = barStart(bar) + beat * kBeat;
        if (kick) mix.play(Instrument::Kick, {t, 0.0, 36, 1.0f, 0.0f});
        if (snare && beat % 2 == 1) mix.play(Instrument::Snare, {t, 0.0, 38, 0.7f, 0.1f});
        if (hats) {
            mix.play(Instrument::HiHat, {t + kBeat / 2, 0.0, 42, 0.5f, 0.4f});
            mix.play(Instrument::HiHat, {t, 0.0, 42, 0.25f, -0.4f});
        }
    }
}

void bass(StereoMix& mix, int bar)
{
    const int root = kRoots[static_cast<std::size_t>(bar % 4)];
    // Root on the beat, octave on the off-beat eighths.
    for (int step = 0; step < 8; ++step) {
        const int note = step % 2 == 0 ? root : root + 12;
        mix.play(Instrument::Bass, {barStart(bar) + step * kBeat / 2, kBeat / 2 - 0.04, note, step % 2 ? 0.6f : 0.9f, 0.0f});
    }
}

void lead(StereoMix& mix, int bar, float velocity)
{
    const auto& phrase = (bar / 2) % 2 == 0 ? kLeadA : kLeadB;
    for (int step = 0; step < 8; ++step) {
        const int degree = phrase[static_cast<std::size_t>((bar % 2) * 8 + step)];
        if (degree < 0) continue;
        mix.play(Instrument::Lead, {barStart(bar) + step * kBeat / 2, kBeat / 2 - 0.02,
                                    kPentatonic[static_cast<std::size_t>(degree)] + 12, velocity, 0.15f});
    }
}

} // namespace

StereoMix composeSong()
{
    // Two seconds past the last bar let the final chord ring out.
    StereoMix mix(kSongSeconds, kSongRate);
    using S = SongSections;
    for (int bar = 0; bar < kSongBars; ++bar) {
        const bool intro = bar < S::build, build = bar >= S::build && bar < S::drop;
        const bool drop = bar >= S::drop && bar < S::breakdown, breakdown = bar >= S::breakdown && bar < S::outro;
        const bool outro = bar >= S::outro;
        pad(mix, bar, intro ? 0.5f + 0.05f * static_cast<float>(bar) : breakdown ? 1.0f : 0.7f);
        if (intro && bar >= 4) drums(mix, bar, false, false, true);
        if (build) drums(mix, bar, true, bar >= S::build + 4, true);
        if (drop) drums(mix, bar, true, true, true);
        if (outro && bar < kSongBars - 2) drums(mix, bar, true, false, true);
        if (build || drop || (outro && bar < kSongBars - 2)) bass(mix, bar);
        if (drop) lead(mix, bar, 0.8f);
        if (breakdown) lead(mix, bar, 0.5f);
    }
    // The end: one long tonic chord.
    for (int note : {45, 57, 60, 64}) mix.play(Instrument::Pad, {barStart(kSongBars - 1), 2.5, note, 1.0f, 0.0f});
    return mix;
}
