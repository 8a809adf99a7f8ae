// Movie files on the disk, as the hosted control and the Flash player see them.
#pragma once

#include <string>

// True when a regular file of this name can be opened for reading (links followed, as any
// reader would).
bool movieFileReadable(const std::string& path);

// The movie's frame count from its header; 0 when the file cannot be read or its header is
// damaged, truncated or of an unknown kind.
int readMovieFrameCount(const std::string& path);
