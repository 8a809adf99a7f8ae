// Collects the chunks of an imported scene and writes them in an order the player's loader
// can follow: shared things (ambient, textures, materials) first, then every node with its
// parents before it, then geometry (meshes name their nodes), then tracks (likewise).
#pragma once

#include "psk/psk_records.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class PskSceneBuilder {
public:
    enum class Section { Head, Nodes, Geometry, Tracks };

    std::uint32_t newIndex() { return next_++; }
    void add(Section section, std::uint16_t version, std::uint32_t index, PskPayload payload);
    // The texture chunk for a stored file name, created once per name.
    std::uint32_t textureIndex(const std::string& fileName);

    std::vector<std::uint8_t> bytes() const;

private:
    struct Entry {
        std::uint16_t version;
        std::uint32_t index;
        PskPayload payload;
    };
    std::uint32_t next_ = 0;
    std::map<Section, std::vector<Entry>> sections_;
    std::map<std::string, std::uint32_t> textures_;
};
