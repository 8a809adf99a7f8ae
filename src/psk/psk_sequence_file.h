// The image-sequence text beside a texture: the texture's file name with its last three
// characters replaced by "seq", looked for on the disk only (never in the archive), so that a
// demo maker turns a texture into an animated one by dropping a text file next to the demo.
#pragma once

#include <optional>
#include <string>

// The sequence name of a texture file name of at least three characters.
std::string pskSequenceName(const std::string& textureFile);

// The whole text of the sequence file when one is on the disk as a regular file; nothing
// otherwise. A file that opens but cannot be read whole shows "Error reading sequence file to
// memory!" and ends the program.
std::optional<std::string> readPskSequenceFile(const std::string& sequenceName);
