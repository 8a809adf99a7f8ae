// C stdio underneath, as the rest of the archive's file access. The file is opened
// non-blocking, so a named pipe with no writer or a device cannot stall the open, and fstat
// on the opened descriptor (not the name, which could change in between) tells regular
// files from everything else and gives the size.
#include "archive/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int openRegularFile(const std::string& path, std::uint64_t& size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return fd;
}

std::optional<BinaryFile> BinaryFile::open(const std::string& path)
{
    std::uint64_t size = 0;
    const int fd = openRegularFile(path, size);
    if (fd < 0)
        return std::nullopt;
    std::FILE* file = fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        return std::nullopt;
    }
    return BinaryFile(file, size);
}

bool BinaryFile::readAt(std::uint64_t position, void* destination, std::size_t length)
{
    if (!holds(position, length))
        return false;
    if (length == 0)
        return true;
    if (position > static_cast<std::uint64_t>(INT64_MAX) || fseeko(file_.get(), static_cast<off_t>(position), SEEK_SET) != 0)
        return false;
    return std::fread(destination, 1, length, file_.get()) == length;
}
