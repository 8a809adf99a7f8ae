#include "video/video_capture.h"

#include <algorithm>
#include <cstdio>

VideoCapture::VideoCapture(const VideoSettings& settings, const SoundtrackRecorder& recorder, double frameMs)
    : encoder_(settings), recorder_(recorder), sampleRate_(settings.sampleRate), frameMs_(frameMs),
      mixer_(settings.sampleRate, [this](std::size_t file) { return music(file); })
{
}

const DecodedMusic* VideoCapture::music(std::size_t file)
{
    auto found = decoded_.find(file);
    if (found == decoded_.end()) {
        std::string error;
        const MusicFile& source = recorder_.files().at(file);
        std::optional<DecodedMusic> decoded = decodeMusic(source.bytes, sampleRate_, error);
        if (!decoded) std::fprintf(stderr, "demotool capture: %s stays silent: %s\n", source.name.c_str(), error.c_str());
        found = decoded_.emplace(file, std::move(decoded)).first;
    }
    return found->second ? &*found->second : nullptr;
}

void VideoCapture::mixUntil(std::int64_t sample)
{
    // Mixed in slices of a tenth of a second, so a long jump never needs a large buffer.
    const std::int64_t slice = std::max(sampleRate_ / 10, 1);
    sound_.clear();
    while (mixed_ < sample) {
        const auto count = static_cast<std::size_t>(std::min(slice, sample - mixed_));
        mixer_.mix(recorder_.playbacks(), mixed_, count, buffer_);
        sound_.insert(sound_.end(), buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(count * 2));
        mixed_ += static_cast<std::int64_t>(count);
    }
}

void VideoCapture::addFrame(const std::uint8_t* pixels, std::size_t pitch, double timeMs)
{
    if (!firstSample_) {
        firstSample_ = soundtrackSampleAt(timeMs, sampleRate_);
        mixed_ = *firstSample_;
    }
    // Mixed here, on the capture's thread: the recorder's events change as the demo goes on.
    mixUntil(soundtrackSampleAt(timeMs + frameMs_, sampleRate_));
    encoder_.addFrame(pixels, pitch, sound_);
}

void VideoCapture::finish()
{
    encoder_.finish();
}
