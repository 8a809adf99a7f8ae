// Sizes and positions are signed 32-bit, so a resource of 2 GiB or more does not open.
#include "archive/memory_file.h"

#include "archive/archive_access.h"
#include "archive/binary_file.h"
#include "archive/resource_archive.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

namespace {

constexpr std::uint64_t maxSize = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());

std::optional<std::vector<std::uint8_t>> readDiskFile(const std::string& name)
{
    std::optional<BinaryFile> file = BinaryFile::open(name);
    if (!file || file->size() > maxSize)
        return std::nullopt;
    std::vector<std::uint8_t> data(file->size());
    if (!file->readAt(0, data.data(), data.size()))
        return std::nullopt;
    return data;
}

std::optional<std::vector<std::uint8_t>> readArchiveEntry(const std::string& name)
{
    const ResourceArchive* archive = theArchive();
    if (!archive || archive->entrySize(name) > maxSize)
        return std::nullopt;
    return archive->read(name);
}

} // namespace

MemoryFile* MemoryFile::open(const std::string& name)
{
    std::optional<std::vector<std::uint8_t>> data = readDiskFile(name);
    if (!data)
        data = readArchiveEntry(name);
    if (!data)
        return nullptr;
    return new MemoryFile(std::move(*data));
}

std::size_t MemoryFile::read(void* destination, std::size_t elementSize, std::size_t count, MemoryFile* handle)
{
    if (!handle)
        return 0;
    handle->errorFlag_ = 0;
    if (elementSize == 0 || count == 0)
        return 0;
    const std::size_t left = static_cast<std::size_t>(handle->size() - handle->position_);
    // Saturate instead of overflowing: anything past `left` is cut anyway.
    const std::size_t wanted = count > left / elementSize ? left : elementSize * count;
    const std::size_t copied = std::min(wanted, left);
    if (copied)
        std::memcpy(destination, handle->data_.data() + handle->position_, copied);
    handle->position_ += static_cast<std::int32_t>(copied);
    return copied / elementSize;
}

int MemoryFile::seek(MemoryFile* handle, std::int32_t offset, int whence)
{
    if (!handle)
        return 1;
    std::int64_t position = handle->position_;
    if (whence == 0)
        position = offset;
    else if (whence == 1)
        position += offset;
    else if (whence == 2)
        position = static_cast<std::int64_t>(handle->size()) + offset;
    handle->errorFlag_ = 0;
    if (position > handle->size() || position < 0) {
        position = std::clamp<std::int64_t>(position, 0, handle->size());
        handle->errorFlag_ = -1;
    }
    handle->position_ = static_cast<std::int32_t>(position);
    return 0;
}

std::int32_t MemoryFile::tell(MemoryFile* handle)
{
    return handle ? handle->position_ : -1;
}

int MemoryFile::close(MemoryFile* handle)
{
    if (!handle)
        return -1;
    delete handle;
    return 0;
}
