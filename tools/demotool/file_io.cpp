// POSIX calls underneath: openat with O_EXCL | O_NOFOLLOW for the temporary, renameat to
// publish it.
#include "file_io.h"

#include "tool_error.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
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

std::string temporaryName(const std::string& name)
{
    static std::atomic<unsigned> counter{0};
    return "." + name + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
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
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw ToolError(path.string() + ": not a readable file");
    std::ifstream in(path, std::ios::binary);
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (!in || error)
        throw ToolError(path.string() + ": cannot open");
    std::vector<std::uint8_t> bytes(size);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        throw ToolError(path.string() + ": read failed");
    return bytes;
}

void writeFileAtomicallyAt(int folder, const std::string& name, std::span<const std::uint8_t> bytes, mode_t mode,
                           const std::string& displayName)
{
    const std::string temporary = temporaryName(name);
    FileDescriptor fd(::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd.get() < 0)
        throw ToolError(systemError(displayName + ": cannot create"));
    try {
        writeAll(fd.get(), bytes);
        if (::fsync(fd.get()) != 0)
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

void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, mode_t mode)
{
    const std::filesystem::path parent = path.parent_path().empty() ? "." : path.parent_path();
    const std::string name = path.filename().string();
    if (name.empty() || name == "." || name == "..")
        throw ToolError(path.string() + ": not a file name");
    FileDescriptor folder(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        throw ToolError(systemError(parent.string() + ": cannot open folder"));
    writeFileAtomicallyAt(folder.get(), name, bytes, mode, path.string());
}
