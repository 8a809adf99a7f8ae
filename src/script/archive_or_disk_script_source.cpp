// Script text from the process-wide archive, falling back to the disk.
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "script/script_source.h"

#include <cstdio>
#include <memory>

namespace {

// The entry's decoded bytes, carriage returns kept. An entry that cannot be decoded reads as
// an empty script; the declared size alone is never trusted for an allocation.
std::string readFromArchive(const ResourceArchive& archive, const std::string& name) {
    const std::optional<std::vector<std::uint8_t>> bytes = archive.read(name);
    if (!bytes) return {};
    return std::string(bytes->begin(), bytes->end());
}

// The length comes from seeking to the end, and no more than that is read: a device or pipe
// named by a script (which reports no length) reads as empty instead of blocking or never
// ending.
std::optional<std::string> readFromDisk(const std::string& name) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(name.c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return std::string();
    const long length = std::ftell(file.get());
    if (length <= 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file.get()));
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
