// Writes captured frames as PNG files off the drawing thread: frames are queued and encoded
// and written by worker threads, each file under a temporary name renamed into place but not
// flushed one by one; finish() waits for them all and flushes the file system once.
#pragma once

#include "capture/back_buffer_reader.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class PngFrameWriter {
public:
    explicit PngFrameWriter(std::filesystem::path folder, unsigned workers = 2);
    ~PngFrameWriter();
    PngFrameWriter(const PngFrameWriter&) = delete;
    PngFrameWriter& operator=(const PngFrameWriter&) = delete;

    // Queues the frame under the file name (waits while the queue is full). Throws ToolError
    // when an earlier frame could not be written.
    void add(std::string name, FramePixels frame);
    // Waits for every queued frame and flushes; throws ToolError on the first failure.
    void finish();

private:
    struct Job {
        std::string name;
        FramePixels frame;
    };
    void work();
    void throwIfFailed();

    std::filesystem::path folder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> queue_;
    std::vector<std::thread> workers_;
    std::size_t busy_ = 0;
    bool stopping_ = false;
    std::string failure_;
};
