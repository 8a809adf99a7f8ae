// Finding the demo's container at start-up: appended to the executable, else beside it.
#pragma once

#include <string>

// Creates appContext.archive, opens it on the executable and otherwise on the file beside it,
// and makes it the archive every lookup falls back to. An empty archive is no error.
void openDemoArchive(const std::string& executablePath);
