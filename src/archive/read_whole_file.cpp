// The message carries the name whole, however long: it is built as a string, not formatted
// into a fixed buffer.
#include "archive/read_whole_file.h"

#include "archive/memory_file.h"
#include "platform/shell/shell.h"

std::vector<std::uint8_t> readWholeFile(const std::string& name)
{
    MemoryFile* handle = MemoryFile::open(name);
    if (!handle)
        failWithMessage("Error", "Couldn't open file: " + name, 0);
    MemoryFile::seek(handle, 0, 2);
    const std::int32_t size = MemoryFile::tell(handle);
    MemoryFile::seek(handle, 0, 0);
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    if (MemoryFile::read(data.data(), 1, data.size(), handle) != data.size())
        failWithMessage("Error", "Error reading file to memory!", 0);
    MemoryFile::close(handle);
    return data;
}
