// The bytes of a picture or sequence file, from the disk or else the archive (MemoryFile).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// nullopt when the name is neither on the disk nor in the archive.
std::optional<std::vector<std::uint8_t>> readImageFile(const std::string& name);
