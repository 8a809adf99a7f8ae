// A whole resource held in memory behind a small stream interface (read, seek, tell, close,
// C-stdio style). The file on the disk is taken when it exists, otherwise the entry of the
// process-wide archive. Every operation tolerates a null handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class MemoryFile {
public:
    // A new handle at position 0, or null when the name is neither on the disk nor readable
    // from the archive.
    static MemoryFile* open(const std::string& name);
    // Copies min(elementSize * count, size - position) bytes, advances by that much, clears
    // the error flag; returns the whole elements copied (0 for a null handle).
    static std::size_t read(void* destination, std::size_t elementSize, std::size_t count, MemoryFile* handle);
    // whence 0: from the start, 1: from the position, 2: from the end; any other whence keeps
    // the position. A position outside [0, size] is clamped and sets the error flag to -1.
    // Returns 0; 1 for a null handle.
    static int seek(MemoryFile* handle, std::int32_t offset, int whence);
    // The position; -1 for a null handle.
    static std::int32_t tell(MemoryFile* handle);
    // Releases the data and the handle; 0, or -1 for a null handle.
    static int close(MemoryFile* handle);

    std::int32_t size() const { return static_cast<std::int32_t>(data_.size()); }
    const std::uint8_t* data() const { return data_.data(); }
    int errorFlag() const { return errorFlag_; }

private:
    explicit MemoryFile(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::vector<std::uint8_t> data_;
    std::int32_t position_ = 0;
    int errorFlag_ = 0;
};
