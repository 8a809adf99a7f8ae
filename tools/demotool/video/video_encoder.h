// Writes a capture as a video file through FFmpeg's libraries: H.264 (libx264, yuv420p) or
// lossless FFV1 (RGB as drawn) in MP4 or Matroska, with the soundtrack as AAC (MP4) or Opus
// (Matroska, which states Opus's encoder delay but not AAC's). The file is written
// under a temporary name beside its destination and renamed into place by finish(); an
// encoder destroyed before that removes the temporary.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

enum class VideoCodec { h264, ffv1 };

struct VideoSettings {
    std::filesystem::path path;  // .mp4 or .mkv
    VideoCodec codec = VideoCodec::h264;
    int width = 800;
    int height = 600;
    int rateNumerator = 50;  // frames per second as a ratio
    int rateDenominator = 1;
    int sampleRate = 44100;  // of the stereo soundtrack: soundRateFor(path)
};

class VideoEncoder {
public:
    // Throws ToolError when the file cannot be made or the codecs cannot start.
    explicit VideoEncoder(const VideoSettings& settings);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // One frame of width x height pixels, 4 bytes each in memory order B, G, R, unused.
    void addFrame(const std::uint8_t* pixels, std::size_t pitch);
    // Interleaved stereo samples that follow the ones added before.
    void addSound(const float* samples, std::size_t frames);
    // Ends both streams, completes the file and puts it into place.
    void finish();
    // Removes the temporary at once (for an exit that skips destructors).
    void discard();

    // The soundtrack's rate in a file of this kind: 44100 for AAC, 48000 for Opus.
    static int soundRateFor(const std::filesystem::path& path);
    // Throws ToolError when the path's extension or the codec do not fit.
    static void checkSettings(const VideoSettings& settings);

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};
