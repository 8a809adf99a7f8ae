// Backslashes count as separators only for the safety check: a name made on another system
// with "..\\" in it is refused, though on this system the backslash is an ordinary character.
#include "extraction_folder.h"

#include "file_io.h"
#include "name_text.h"
#include "tool_error.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> split(const std::string& text, const char* separators)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find_first_of(separators, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

std::optional<std::vector<std::string>> entryPathParts(const std::string& name, std::string& reason)
{
    if (name.find('\0') != std::string::npos) {
        reason = "contains a NUL byte";
        return std::nullopt;
    }
    const bool driveLetter = name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
    if (name.starts_with('/') || name.starts_with('\\') || driveLetter) {
        reason = "is an absolute path";
        return std::nullopt;
    }
    for (const std::string& part : split(name, "/\\")) {
        if (part == "..") {
            reason = "contains a \"..\" component";
            return std::nullopt;
        }
    }
    std::vector<std::string> parts;
    for (std::string& part : split(name, "/")) {
        if (!part.empty() && part != ".")
            parts.push_back(std::move(part));
    }
    if (parts.empty() || name.ends_with('/')) {
        reason = "does not name a file";
        return std::nullopt;
    }
    return parts;
}

ExtractionFolder::ExtractionFolder(const std::filesystem::path& root)
{
    std::error_code error;
    std::filesystem::create_directories(root, error);
    rootFd_ = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd_ < 0)
        throw ToolError(root.string() + ": cannot open folder: " + std::strerror(errno));
}

ExtractionFolder::~ExtractionFolder()
{
    ::close(rootFd_);
}

void ExtractionFolder::write(const std::string& entryName, std::span<const std::uint8_t> bytes)
{
    std::string reason;
    const std::optional<std::vector<std::string>> parts = entryPathParts(entryName, reason);
    if (!parts)
        throw ToolError("refusing entry \"" + cEscapedName(entryName) + "\": " + reason);

    int folder = rootFd_;
    auto closeFolder = [&] {
        if (folder != rootFd_)
            ::close(folder);
    };
    for (std::size_t i = 0; i + 1 < parts->size(); ++i) {
        const char* part = (*parts)[i].c_str();
        if (::mkdirat(folder, part, 0777) != 0 && errno != EEXIST) {
            const int failure = errno;
            closeFolder();
            throw ToolError(cEscapedName(entryName) + ": cannot create folder: " + std::strerror(failure));
        }
        const int next = ::openat(folder, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int failure = errno;
        closeFolder();
        if (next < 0) {
            if (failure == ELOOP || failure == ENOTDIR)
                throw ToolError("refusing entry \"" + cEscapedName(entryName) + "\": \"" + cEscapedName((*parts)[i]) +
                                "\" is a symbolic link or not a folder");
            throw ToolError(cEscapedName(entryName) + ": cannot open folder: " + std::strerror(failure));
        }
        folder = next;
    }
    try {
        writeFileAtomicallyAt(folder, parts->back(), bytes, 0666, cEscapedName(entryName));
    } catch (...) {
        closeFolder();
        throw;
    }
    closeFolder();
}
