// POSIX calls underneath: openat with O_EXCL | O_NOFOLLOW for the temporary, renameat to
// publish it.
#include "file_io.h"

#include "tool_error.h"

#include "archive/binary_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

std::string systemError(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Unpredictable as well as unique, so a file planted at the name beforehand can at worst cost
// a retry, never a failed write.
std::string temporaryName(const std::string& name)
{
    static std::atomic<unsigned> counter{0};
    static const std::uint64_t salt = std::random_device{}() * 0x100000000ull + std::random_device{}();
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(salt ^ (counter++ * 0x9E3779B97F4A7C15ull)));
    // Long names keep only their start: the temporary must not exceed the folder's name limit.
    std::string temporary = ".";
    temporary.append(name, 0, 200).append(".tmp-").append(std::to_string(::getpid())).append("-").append(suffix);
    return temporary;
}

// Creates a fresh temporary beside `name` in the folder: exclusive, never through a link.
int createTemporary(int folder, const std::string& name, mode_t mode, std::string& temporary)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = temporaryName(name);
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw ToolError(systemError("write failed"));
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    // Regular files only, checked on the open descriptor: a pipe or device never blocks here.
    std::optional<BinaryFile> file = BinaryFile::open(path.string());
    if (!file)
        throw ToolError(path.string() + ": not a readable file");
    if (file->size() > SIZE_MAX)
        throw ToolError(path.string() + ": too large");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file->size()));
    if (!file->readAt(0, bytes.data(), bytes.size()))
        throw ToolError(path.string() + ": read failed");
    return bytes;
}

void writeFileAtomicallyAt(int folder, const std::string& name, std::span<const std::uint8_t> bytes, mode_t mode,
                           const std::string& displayName, Flush flush)
{
    std::string temporary;
    FileDescriptor fd(createTemporary(folder, name, mode, temporary));
    if (fd.get() < 0)
        throw ToolError(systemError(displayName + ": cannot create"));
    try {
        writeAll(fd.get(), bytes);
        if (flush == Flush::each && ::fsync(fd.get()) != 0)
            throw ToolError(systemError(displayName + ": flush failed"));
        if (::close(fd.release()) != 0)
            throw ToolError(systemError(displayName + ": close failed"));
        if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0)
            throw ToolError(systemError(displayName + ": cannot rename into place"));
    } catch (...) {
        ::unlinkat(folder, temporary.c_str(), 0);
        throw;
    }
}

namespace {

// The folder of path, opened, and the single name inside it.
int openParent(const std::filesystem::path& path, std::string& name)
{
    const std::filesystem::path parent = path.parent_path().empty() ? "." : path.parent_path();
    name = path.filename().string();
    if (name.empty() || name == "." || name == "..")
        throw ToolError(path.string() + ": not a file name");
    const int folder = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        throw ToolError(systemError(parent.string() + ": cannot open folder"));
    return folder;
}

} // namespace

void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, mode_t mode,
                         Flush flush)
{
    std::string name;
    FileDescriptor folder(openParent(path, name));
    writeFileAtomicallyAt(folder.get(), name, bytes, mode, path.string(), flush);
}

void flushFileSystemOf(const std::filesystem::path& folder)
{
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0 || ::syncfs(fd.get()) != 0)
        throw ToolError(systemError(folder.string() + ": flush failed"));
}

TemporaryFile::TemporaryFile(const std::filesystem::path& destination, mode_t mode) : destination_(destination)
{
    folder_ = openParent(destination, name_);
    fd_ = createTemporary(folder_, name_, mode, temporary_);
    if (fd_ < 0) {
        ::close(folder_);
        throw ToolError(systemError(destination.string() + ": cannot create"));
    }
}

TemporaryFile::~TemporaryFile()
{
    discard();
    ::close(folder_);
}

std::filesystem::path TemporaryFile::temporaryPath() const
{
    const std::filesystem::path parent = destination_.parent_path();
    return parent / temporary_;
}

void TemporaryFile::discard()
{
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlinkat(folder_, temporary_.c_str(), 0);
}

void TemporaryFile::publish()
{
    if (fd_ < 0) throw ToolError(destination_.string() + ": already written");
    if (::fsync(fd_) != 0) {
        const std::string error = systemError(destination_.string() + ": flush failed");
        discard();
        throw ToolError(error);
    }
    const int fd = std::exchange(fd_, -1);
    const bool closed = ::close(fd) == 0;
    if (!closed || ::renameat(folder_, temporary_.c_str(), folder_, name_.c_str()) != 0) {
        const std::string error = systemError(destination_.string() + ": cannot put into place");
        ::unlinkat(folder_, temporary_.c_str(), 0);
        throw ToolError(error);
    }
}
