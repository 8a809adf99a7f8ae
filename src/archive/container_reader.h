// Finding a container inside a file (at a given offset, or through the trailer at the end),
// reading and checking its directory, and reading stored blocks. Every length, position and
// count taken from the file is checked against the file's size and the decoded directory
// before it is used, so a damaged container is refused instead of being read out of bounds.
#pragma once

#include "archive/binary_file.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct DirectoryRecord {
    std::string name;
    std::uint32_t declaredSize = 0;
    std::uint32_t position = 0; // of the stored block, relative to the container start
    std::uint32_t filterId = 0;
};

struct ContainerDirectory {
    std::uint64_t base = 0; // container start B inside the file
    std::uint64_t fileSize = 0;
    std::uint32_t directoryPosition = 0;
    std::uint32_t directoryLength = 0; // decoded
    std::uint32_t directoryFilterId = 0;
    std::uint32_t directoryStoredLength = 0;
    std::vector<DirectoryRecord> records; // in directory order, duplicates kept
};

// Nothing when the file holds no container or its header or directory is damaged.
std::optional<ContainerDirectory> readContainerDirectory(const std::string& path, std::uint32_t offset);

// Splits a decoded directory into records; nothing when the declared length exceeds the
// decoded bytes, a record runs past it or there are more than maxDirectoryRecords records.
std::optional<std::vector<DirectoryRecord>> parseDirectory(std::span<const std::uint8_t> decoded,
                                                           std::uint32_t declaredLength);

// The most a stored block of `storedLength` bytes can decode to through the known filters.
std::uint64_t maxDecodedLength(std::uint64_t storedLength);

// The stored length N of the block at `position` (absolute in the file), when it fits.
std::optional<std::uint32_t> readStoredLength(BinaryFile& file, std::uint64_t position);
// The block at `position` (absolute), when its length word and all N bytes lie in the file
// and N is at most `maxLength`.
std::optional<std::vector<std::uint8_t>> readStoredBlock(BinaryFile& file, std::uint64_t position,
                                                         std::uint64_t maxLength);
