#include "capture/png_frame_writer.h"

#include "file_io.h"
#include "tool_error.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

// Enough queued frames to keep the workers busy, few enough to bound the memory.
constexpr std::size_t kMaxQueued = 8;

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

std::vector<std::uint8_t> encodeFramePng(const FramePixels& frame)
{
    std::vector<std::uint8_t> rgb(std::size_t{frame.width} * frame.height * 3);
    for (std::size_t i = 0, n = std::size_t{frame.width} * frame.height; i < n; ++i) {
        rgb[i * 3] = frame.bgrx[i * 4 + 2];
        rgb[i * 3 + 1] = frame.bgrx[i * 4 + 1];
        rgb[i * 3 + 2] = frame.bgrx[i * 4];
    }
    std::vector<std::uint8_t> png;
    if (!stbi_write_png_to_func(appendBytes, &png, static_cast<int>(frame.width), static_cast<int>(frame.height), 3,
                                rgb.data(), static_cast<int>(frame.width) * 3))
        png.clear();
    return png;
}

PngFrameWriter::PngFrameWriter(std::filesystem::path folder, unsigned workers) : folder_(std::move(folder))
{
    // Frames are many and usually converted again: speed matters more than the last few
    // percent of size. Set before any worker reads it.
    stbi_write_png_compression_level = 3;
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
