#include "video/soundtrack_mixer.h"

#include "platform/sound/mixer_volume.h"

#include <algorithm>
#include <cmath>
#include <limits>

std::int64_t soundtrackSampleAt(double timeMs, int sampleRate)
{
    if (!(timeMs > 0)) return 0;
    const double sample = std::round(timeMs * sampleRate / 1000.0);
    // An open end lies beyond every sample.
    if (sample >= 9.0e18) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(sample);
}

void SoundtrackMixer::mix(const std::vector<MusicPlayback>& playbacks, std::int64_t from, std::size_t count,
                          std::vector<float>& out) const
{
    out.assign(count * 2, 0.0f);
    for (const MusicPlayback& playback : playbacks) {
        const DecodedMusic* music = source_(playback.file);
        if (music) mixOne(playback, *music, from, count, out);
    }
    for (float& sample : out) sample = std::clamp(sample, -1.0f, 1.0f);
}

void SoundtrackMixer::mixOne(const MusicPlayback& playback, const DecodedMusic& music, std::int64_t from,
                             std::size_t count, std::vector<float>& out) const
{
    const std::int64_t start = soundtrackSampleAt(playback.startMs, rate_);
    const std::int64_t end = soundtrackSampleAt(playback.endMs, rate_);
    const std::int64_t fileStart = soundtrackSampleAt(playback.fileMs, rate_);
    const auto length = static_cast<std::int64_t>(music.frames());
    const std::int64_t to = from + static_cast<std::int64_t>(count);
    // The range where the stretch sounds and the file still has samples.
    std::int64_t first = std::max(from, start);
    std::int64_t last = std::min(to, end);
    if (fileStart >= length) return;
    last = std::min(last, start + (length - fileStart));
    if (first >= last) return;

    std::size_t change = 0;
    while (first < last) {
        // The volume in force at `first`, and how far it lasts.
        while (change + 1 < playback.volumes.size() &&
               soundtrackSampleAt(playback.volumes[change + 1].atMs, rate_) <= first)
            ++change;
        std::int64_t until = last;
        if (change + 1 < playback.volumes.size())
            until = std::min(until, soundtrackSampleAt(playback.volumes[change + 1].atMs, rate_));
        const int volume = playback.volumes.empty() ? 255 : playback.volumes[change].volume;
        const float gain = static_cast<float>(mixerVolume(volume)) / 128.0f;
        for (std::int64_t n = first; n < until; ++n) {
            const auto source = static_cast<std::size_t>(fileStart + (n - start)) * 2;
            const auto target = static_cast<std::size_t>(n - from) * 2;
            out[target] += music.samples[source] * gain;
            out[target + 1] += music.samples[source + 1] * gain;
        }
        first = until;
    }
}
