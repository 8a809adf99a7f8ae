// A read-only file opened as raw bytes, with its size taken once and positioned reads that
// either deliver every byte asked for or fail. Only regular files open: a directory, pipe or
// device is never mistaken for a resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

// The descriptor of `path` opened read-only, when it is a regular file (its size is then set);
// -1 for anything else. Never blocks, whatever the name refers to.
int openRegularFile(const std::string& path, std::uint64_t& size);

class BinaryFile {
public:
    static std::optional<BinaryFile> open(const std::string& path);

    std::uint64_t size() const { return size_; }
    // False unless all `length` bytes at `position` were read.
    bool readAt(std::uint64_t position, void* destination, std::size_t length);
    // True when [position, position + length) lies inside the file.
    bool holds(std::uint64_t position, std::uint64_t length) const
    {
        return position <= size_ && length <= size_ - position;
    }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    BinaryFile(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}

    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_;
};
