// Shell-style patterns for choosing entries by name: "*" matches within one folder level,
// "**" across levels, "?" one character, "[a-z]" / "[!a]" a class. A pattern without "/"
// is matched against the last part of the name only, so "*.png" picks PNGs in every folder.
#pragma once

#include <string_view>

bool globMatch(std::string_view pattern, std::string_view entryName);
