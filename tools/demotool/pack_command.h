// demotool pack: files and folders into one container. Entry names are paths relative to the
// base folder with "/" separators; each entry's filter comes from the last --filter-for whose
// glob matches its name, else from --filter.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct PackOptions {
    std::filesystem::path output;
    std::filesystem::path baseFolder = ".";
    std::string filter = "zlib";
    std::vector<std::string> filterFor; // "GLOB=SPEC"
    std::string directoryFilter = "zlib";
    std::vector<std::filesystem::path> paths;
};

struct PackedFile {
    std::string entryName;
    std::filesystem::path source;
};

// The files a pack run takes, sorted by entry name, without duplicates and without the
// output file itself. Raises ToolError for a path that is missing or outside the base folder.
std::vector<PackedFile> collectPackedFiles(const PackOptions& options);

// The filter id for one entry name.
std::uint32_t filterForEntry(const PackOptions& options, const std::string& entryName);

void runPack(const PackOptions& options);
