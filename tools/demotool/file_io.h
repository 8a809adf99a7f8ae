// Whole-file reads and atomic writes for demotool. A file is written under a temporary name
// beside its destination, flushed, then renamed into place, so an interrupted run leaves
// either the old file or the complete new one, never a broken one. Failures raise ToolError.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path);

// `mode` is the permission the new file is created with (the umask still applies).
void writeFileAtomically(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                         mode_t mode = 0666);

// The same inside an open folder: `name` is a single path component. A symbolic link already
// at `name` is replaced, never followed.
void writeFileAtomicallyAt(int folder, const std::string& name, std::span<const std::uint8_t> bytes,
                           mode_t mode, const std::string& displayName);
