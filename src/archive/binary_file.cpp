// C stdio underneath, as the rest of the archive's file access; fstat gives the size and
// tells regular files from everything else.
#include "archive/binary_file.h"

#include <sys/stat.h>

std::optional<BinaryFile> BinaryFile::open(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        std::fclose(file);
        return std::nullopt;
    }
    return BinaryFile(file, static_cast<std::uint64_t>(status.st_size));
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
