// Whole-file reads and atomic writes for demotool. A file is written under a temporary name
// beside its destination, flushed, then renamed into place, so an interrupted run leaves
// either the old file or the complete new one, never a broken one. Failures raise ToolError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);

// Whether a write waits for the data to reach the disk before the rename. Many small files
// written in a row (capture's frames) skip it and flush their file system once at the end.
enum class Flush { each, none };

// `mode` is the permission the new file is created with (the umask still applies).
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         mode_t mode = 0666, Flush flush = Flush::each);

// The same inside an open folder: `name` is a single path component. A symbolic link already
// at `name` is replaced, never followed.
void writeFileAtomicallyAt(int folder, const std::string& name, std::span<const std::uint8_t> bytes,
                           mode_t mode, const std::string& displayName, Flush flush = Flush::each);

// Flushes the file system that holds the folder (one call for many unflushed writes).
void flushFileSystemOf(const std::filesystem::path& folder);

// A file written through a descriptor under an exclusive temporary name beside its
// destination; publish() flushes it and renames it into place, and a temporary never
// published is removed when this goes.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& destination, mode_t mode = 0666);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return fd_; }
    std::filesystem::path temporaryPath() const;
    void publish();
    // Removes the temporary now (safe from a signal handler's path: unlinkat only).
    void discard();

private:
    int folder_ = -1;
    int fd_ = -1;
    std::string name_;
    std::string temporary_;
    std::filesystem::path destination_;
};
