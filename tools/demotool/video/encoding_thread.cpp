#include "video/encoding_thread.h"

#include "tool_error.h"

#include <cstring>
#include <exception>

EncodingThread::EncodingThread(const VideoSettings& settings, std::size_t queueLength)
    : encoder_(settings), rowBytes_(static_cast<std::size_t>(settings.width) * 4), height_(settings.height),
      queueLength_(queueLength < 1 ? 1 : queueLength), thread_([this] { run(); })
{
}

EncodingThread::~EncodingThread()
{
    stop();
}

void EncodingThread::stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queued_.clear();
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void EncodingThread::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
        // Stopping drops what is still queued: finish() waits for the queue to empty first.
        if (stopping_) return;
        Job job = std::move(queued_.front());
        queued_.pop_front();
        busy_ = true;
        lock.unlock();
        std::string error;
        try {
            encoder_.addFrame(job.pixels.data(), rowBytes_);
            if (!job.sound.empty()) encoder_.addSound(job.sound.data(), job.sound.size() / 2);
        } catch (const std::exception& failure) {
            error = failure.what();
        }
        lock.lock();
        busy_ = false;
        spare_.push_back(std::move(job));
        if (!error.empty() && failure_.empty()) failure_ = error;
        if (!failure_.empty()) queued_.clear();
        changed_.notify_all();
    }
}

void EncodingThread::throwIfFailed()
{
    if (!failure_.empty()) throw ToolError(failure_);
    if (stopping_) throw ToolError("the video was already completed or removed");
}

void EncodingThread::addFrame(const std::uint8_t* pixels, std::size_t pitch, const std::vector<float>& sound)
{
    Job job;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queued_.size() < queueLength_ || !failure_.empty() || stopping_; });
        throwIfFailed();
        if (!spare_.empty()) {
            job = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    job.pixels.resize(rowBytes_ * static_cast<std::size_t>(height_));
    for (int y = 0; y < height_; ++y)
        std::memcpy(job.pixels.data() + static_cast<std::size_t>(y) * rowBytes_,
                    pixels + static_cast<std::size_t>(y) * pitch, rowBytes_);
    job.sound.assign(sound.begin(), sound.end());
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(std::move(job));
    }
    changed_.notify_all();
}

void EncodingThread::finish()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return (queued_.empty() && !busy_) || !failure_.empty() || stopping_; });
        throwIfFailed();
    }
    stop();
    encoder_.finish();
}

void EncodingThread::discard()
{
    // The thread must be done with the file before its descriptor is closed.
    stop();
    encoder_.discard();
}
