#include "capture/png_frame_writer.h"

#include "capture/png_frame_encoding.h"
#include "file_io.h"
#include "tool_error.h"

#include <algorithm>

namespace {

// Enough queued frames to keep the workers busy, few enough to bound the memory.
constexpr std::size_t kMaxQueued = 8;

} // namespace

PngFrameWriter::PngFrameWriter(std::filesystem::path folder, unsigned workers) : folder_(std::move(folder))
{
    for (unsigned i = 0; i < std::max(workers, 1u); ++i) workers_.emplace_back([this] { work(); });
}

PngFrameWriter::~PngFrameWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void PngFrameWriter::throwIfFailed()
{
    if (!failure_.empty()) throw ToolError(failure_);
}

void PngFrameWriter::add(std::string name, FramePixels frame)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < kMaxQueued || !failure_.empty(); });
    throwIfFailed();
    queue_.push_back({std::move(name), std::move(frame)});
    changed_.notify_all();
}

void PngFrameWriter::finish()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return (queue_.empty() && busy_ == 0) || !failure_.empty(); });
        throwIfFailed();
    }
    flushFileSystemOf(folder_);
}

void PngFrameWriter::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        Job job = std::move(queue_.front());
        queue_.pop_front();
        ++busy_;
        changed_.notify_all();
        lock.unlock();
        std::string error;
        const std::vector<std::uint8_t> png = encodeFramePng(job.frame);
        if (png.empty()) {
            error = "cannot encode " + (folder_ / job.name).string();
        } else {
            try {
                writeFileAtomically(folder_ / job.name, png, 0666, Flush::none);
            } catch (const ToolError& failed) {
                error = failed.what();
            }
        }
        lock.lock();
        --busy_;
        if (!error.empty() && failure_.empty()) failure_ = error;
        changed_.notify_all();
    }
}
