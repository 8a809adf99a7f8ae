// Reading a picture or sequence file whole through MemoryFile.

#include "content2d/read_image_file.h"

#include "archive/memory_file.h"

std::optional<std::vector<std::uint8_t>> readImageFile(const std::string& name)
{
    MemoryFile* file = MemoryFile::open(name);
    if (!file) return std::nullopt;
    const std::int32_t size = file->size();
    std::vector<std::uint8_t> bytes(size > 0 ? static_cast<std::size_t>(size) : 0);
    const std::size_t copied = MemoryFile::read(bytes.data(), 1, bytes.size(), file);
    MemoryFile::close(file);
    bytes.resize(copied);
    return bytes;
}
