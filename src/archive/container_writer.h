// Builds container bytes from named entries: the header, each entry's stored block (its bytes
// run through the entry's filter chain), then the directory, itself encoded with its own
// filter id. Entries keep the given order, duplicates included. Used by demotool and tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ContainerEntry {
    std::string name;
    std::vector<std::uint8_t> bytes;
    std::uint32_t filterId = 0;
};

struct ContainerResult {
    std::vector<std::uint8_t> bytes; // the container, when error is empty
    std::string error;               // one line naming what could not be written
};

ContainerResult writeContainer(const std::vector<ContainerEntry>& entries, std::uint32_t directoryFilterId);

// The eight bytes that, put at the end of a file right after a container of
// `containerSize` bytes, make the container findable; nothing if the sizes do not fit.
std::optional<std::vector<std::uint8_t>> containerTrailer(std::uint64_t containerSize);
