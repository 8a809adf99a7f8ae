// An imported PSK file read back and looked at the way the player will: node world matrices
// (row vectors, scale × rotation × translation, through the D3DX helpers), transform tracks
// sampled by the player's time mapping, and the active camera's view after its quarter turn
// about X with a left-handed perspective, projected onto the 800 × 600 screen.
#pragma once

#include "platform/d3dx/d3dx_math.h"
#include "psk/psk_chunk_reader.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ScreenPoint {
    float x = 0.0f;
    float y = 0.0f;
};

class PlayerView {
public:
    explicit PlayerView(const std::filesystem::path& psk);

    const PskFile& file() const { return file_; }
    template <typename T>
    std::vector<const T*> all() const
    {
        std::vector<const T*> out;
        for (const PskChunk& chunk : file_.chunks)
            if (const T* payload = std::get_if<T>(&chunk.payload))
                out.push_back(payload);
        return out;
    }
    // The chunk that defines `index` (nodes, meshes, buffers, materials, textures).
    const PskChunk* object(std::uint32_t index) const;
    std::optional<std::uint32_t> nodeIndex(const std::string& name) const;
    const PskNodeRecord* node(std::uint32_t index) const;
    const PskTransformTrack* trackOf(std::uint32_t node) const;

    PskTransform transformAt(std::uint32_t node, float timeMs) const;
    D3DXMATRIX worldAt(std::uint32_t node, float timeMs) const;
    // A point given in the node's own space, on the screen of the named camera.
    ScreenPoint project(const std::string& camera, std::uint32_t node, D3DXVECTOR3 local, float timeMs) const;

private:
    PskFile file_;
};

D3DXMATRIX pskLocalMatrix(const PskTransform& transform);
