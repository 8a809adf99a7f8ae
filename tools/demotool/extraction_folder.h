// Writing entries beneath one folder without ever leaving it: names that are absolute or
// contain ".." are refused, and every folder on the way is opened without following symbolic
// links, so a link planted inside the folder cannot redirect a write outside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The "/"-separated parts an entry name is written to (empty and "." parts dropped), or
// nothing with the reason when the name must not be extracted.
std::optional<std::vector<std::string>> entryPathParts(const std::string& name, std::string& reason);

class ExtractionFolder {
public:
    // Creates the folder (and its parents) when missing.
    explicit ExtractionFolder(const std::filesystem::path& root);
    ~ExtractionFolder();
    ExtractionFolder(const ExtractionFolder&) = delete;
    ExtractionFolder& operator=(const ExtractionFolder&) = delete;

    // Writes the entry atomically at its place below the root, creating folders as needed.
    void write(const std::string& entryName, std::span<const std::uint8_t> bytes);

private:
    int rootFd_;
};
