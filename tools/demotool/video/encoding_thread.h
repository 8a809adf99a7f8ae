// Runs a VideoEncoder on a thread of its own, so colour conversion, H.264 encoding and muxing
// overlap with the drawing of the next frames instead of following them. The frames (with the
// stretch of soundtrack that follows each) are copied into a short queue; a full queue makes
// the caller wait, so a slow encoder holds the capture back instead of filling memory.
// An error met by the encoder is thrown (as ToolError) by the next call that queues or
// finishes.
#pragma once

#include "video/video_encoder.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class EncodingThread {
public:
    // Starts the encoder (throws ToolError as it does) and its thread.
    explicit EncodingThread(const VideoSettings& settings, std::size_t queueLength = 3);
    // Stops the thread; an unfinished file is removed by the encoder.
    ~EncodingThread();
    EncodingThread(const EncodingThread&) = delete;
    EncodingThread& operator=(const EncodingThread&) = delete;

    // Queues one frame of width x height pixels (B, G, R, unused) and the interleaved stereo
    // samples that follow it.
    void addFrame(const std::uint8_t* pixels, std::size_t pitch, const std::vector<float>& sound);
    // Encodes what is queued, ends both streams and puts the file into place.
    void finish();
    // Stops the thread and removes the temporary at once (for an exit that skips destructors).
    void discard();

private:
    struct Job {
        std::vector<std::uint8_t> pixels;  // width * 4 bytes a row
        std::vector<float> sound;
    };

    void run();
    void stop();
    void throwIfFailed();

    VideoEncoder encoder_;
    std::size_t rowBytes_;
    int height_;
    std::size_t queueLength_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queued_;
    std::vector<Job> spare_;  // buffers of encoded jobs, reused
    bool busy_ = false;       // the thread holds a job taken from the queue
    bool stopping_ = false;
    std::string failure_;
    std::thread thread_;
};
