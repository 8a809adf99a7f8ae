// The full name the Flash control is given for a movie file.
#pragma once

#include <string>

// A drive-letter name ("C:...") and an absolute name ("/...") stand unchanged; any other name
// is put after the current directory, joined by "/" unless the directory already ends in
// "/" or "\". No length limit.
std::string flashMoviePath(const std::string& name, const std::string& currentDirectory);
