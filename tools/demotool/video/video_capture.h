// A capture written as a video: each drawn frame goes to the encoder's thread, and with it the
// soundtrack up to the next frame's time, mixed from what the recorder has heard so far (no
// later event can change that stretch: the clock only moves between frames).
#pragma once

#include "platform/sound/soundtrack_recorder.h"
#include "video/music_decoder.h"
#include "video/soundtrack_mixer.h"
#include "video/encoding_thread.h"
#include "video/video_encoder.h"

#include <map>
#include <memory>
#include <optional>

class VideoCapture {
public:
    // frameMs: the frame time; the video starts at the first frame added.
    VideoCapture(const VideoSettings& settings, const SoundtrackRecorder& recorder, double frameMs);

    // The frame composed at timeMs, in memory order B, G, R, unused.
    void addFrame(const std::uint8_t* pixels, std::size_t pitch, double timeMs);
    // Completes the file and puts it into place.
    void finish();
    void discard() { encoder_.discard(); }

private:
    const DecodedMusic* music(std::size_t file);
    void mixUntil(std::int64_t sample);

    EncodingThread encoder_;
    const SoundtrackRecorder& recorder_;
    int sampleRate_;
    double frameMs_;
    SoundtrackMixer mixer_;
    std::map<std::size_t, std::optional<DecodedMusic>> decoded_;
    std::optional<std::int64_t> firstSample_;
    std::int64_t mixed_ = 0;  // the next soundtrack sample to hand over, counted from 0 ms
    std::vector<float> buffer_;
    std::vector<float> sound_;  // the stretch that follows the frame being added
};
