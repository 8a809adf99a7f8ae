// Finding the demo's container at start-up: appended to the executable, else beside it.
#pragma once

#include <string>

// The container file beside an executable: "demo.exe" → "demo.cfl"; a name without a
// three-letter extension (every Linux executable) gets ".cfl" appended: "demo" → "demo.cfl".
std::string containerPathBeside(const std::string& executablePath);

// Creates appContext.archive, opens it on the executable and otherwise on the file beside it,
// and makes it the archive every lookup falls back to. An empty archive is no error.
void openDemoArchive(const std::string& executablePath);
