// Where the player finds its container at start-up: appended to its own executable, or else
// in the file beside it named after it with the extension "cfl" (demo.exe -> demo.cfl; a name
// without a three-letter extension, as Linux executables have, gets ".cfl" appended).
#pragma once

#include <string>

class ResourceArchive;

std::string containerBesideExecutable(const std::string& executablePath);
// Tries the executable, then the file beside it; true when either opened.
bool openPlayerContainer(ResourceArchive& archive, const std::string& executablePath);
