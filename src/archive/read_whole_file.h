// The scene loader's whole-resource read through MemoryFile (disk first, then the archive).
// It never fails back to the caller: a resource that cannot be had ends the process with an
// "Error" box and exit code 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::vector<std::uint8_t> readWholeFile(const std::string& name);
