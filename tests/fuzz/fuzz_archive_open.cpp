// Fuzzes opening a container and reading every entry: the input is written to a file, opened
// with openAt (offset 0, so both the leading magic and the trailer are tried), and every
// directory record is read back, which must give exactly its declared size or nothing. Every
// name is also rendered as demotool list shows it: no raw control byte may survive.
// fuzz-libs: archive demotool_core
#include "archive/container_reader.h"
#include "archive/resource_archive.h"
#include "name_text.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchPath()
{
    // Memory-backed when available: every input is written and read back several times.
    static const std::string folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    // Never destroyed, so the exit handler that removes the file can still read it.
    static const std::string* path = [] {
        auto* made = new std::string(folder + "/fuzz_archive_open-" + std::to_string(::getpid()) + ".cfl");
        std::atexit([] { std::remove(scratchPath().c_str()); });
        return made;
    }();
    return *path;
}

bool hasControlBytes(const std::string& text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

bool writeInput(const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(scratchPath().c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!writeInput(data, size))
        return 0;
    ResourceArchive archive;
    const bool opened = archive.openAt(scratchPath(), 0);
    const std::optional<ContainerDirectory> directory = readContainerDirectory(scratchPath(), 0);
    if (opened != directory.has_value())
        __builtin_trap();
    if (!directory)
        return 0;
    for (const DirectoryRecord& record : directory->records) {
        if (hasControlBytes(cEscapedName(record.name)) || hasControlBytes(jsonString(record.name)) ||
            !isValidUtf8(jsonString(record.name)))
            __builtin_trap();
        std::uint32_t size = 0;
        const std::optional<std::vector<std::uint8_t>> bytes = archive.read(record.name, size);
        if (bytes && bytes->size() != archive.entrySize(record.name))
            __builtin_trap();
        std::uint8_t buffer[16];
        if (archive.readInto(record.name, buffer, sizeof buffer) > sizeof buffer)
            __builtin_trap();
    }
    archive.close();
    return 0;
}
