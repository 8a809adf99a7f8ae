// Puts the textures a scene uses where the player finds them: files the source names are
// copied beside the output (or into the textures folder), embedded pictures are written out
// as PNG. A picture the player's own decoder refuses (DDS, damaged, too large) is dropped
// with a note, so every texture the file names loads. Names are made unique per import.
#pragma once

#include "import_notes.h"

#include <assimp/scene.h>

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>

class TextureExport {
public:
    TextureExport(const aiScene& scene, std::filesystem::path sourceFolder, std::filesystem::path outputFolder,
                  std::filesystem::path texturesFolder, std::string embeddedStem, ImportNotes& notes);

    // The name to store in the scene file for the texture `reference` (a path or Assimp's
    // "*N" for an embedded one); none when it was dropped. Each reference is handled once.
    std::optional<std::string> exportTexture(const std::string& reference, const std::string& user);

    unsigned written() const { return written_; }

private:
    std::optional<std::string> exportEmbedded(const aiTexture& texture, const std::string& reference,
                                              const std::string& user);
    std::optional<std::string> exportFile(const std::string& reference, const std::string& user);
    std::string uniqueName(const std::string& wanted);
    std::string store(const std::string& name, const std::uint8_t* bytes, std::size_t size);
    std::optional<std::filesystem::path> locate(const std::string& reference) const;

    const aiScene& scene_;
    std::filesystem::path sourceFolder_;
    std::filesystem::path outputFolder_;
    std::filesystem::path texturesFolder_;
    std::string embeddedStem_;
    ImportNotes& notes_;
    std::map<std::string, std::optional<std::string>> done_;
    std::set<std::string> usedNames_;
    unsigned written_ = 0;
};
