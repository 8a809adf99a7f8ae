// Script text from the process-wide archive, falling back to the disk.
#include "archive/archive_access.h"
#include "archive/binary_file.h"
#include "archive/resource_archive.h"
#include "script/script_source.h"

#include <cstdint>

namespace {

// The entry's decoded bytes, carriage returns kept. An entry that cannot be decoded reads as
// an empty script; the declared size alone is never trusted for an allocation.
std::string readFromArchive(const ResourceArchive& archive, const std::string& name) {
    const std::optional<std::vector<std::uint8_t>> bytes = archive.read(name);
    if (!bytes) return {};
    return std::string(bytes->begin(), bytes->end());
}

// Only a regular file is a script: a folder, pipe or device reads as absent, and the open
// never blocks. No more than the file's size is read.
std::optional<std::string> readFromDisk(const std::string& name) {
    std::optional<BinaryFile> file = BinaryFile::open(name);
    if (!file || file->size() > SIZE_MAX) return std::nullopt;
    std::string text(static_cast<std::size_t>(file->size()), '\0');
    if (!file->readAt(0, text.data(), text.size())) return std::nullopt;
    return crlfToLf(std::move(text));
}
}  // namespace

std::string crlfToLf(std::string text) {
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n') continue;
        text[out++] = text[in];
    }
    text.resize(out);
    return text;
}

std::optional<std::string> ArchiveOrDiskScriptSource::read(const std::string& fileName) {
    if (const ResourceArchive* archive = theArchive(); archive && archive->contains(fileName)) {
        return readFromArchive(*archive, fileName);
    }
    return readFromDisk(fileName);
}
