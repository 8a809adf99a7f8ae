// Packs the triangle lists of one node (one list per source material) into PSK meshes: each
// mesh has at most 65,536 vertices, since PSK indices are 16-bit, and one sub-mesh per run of
// a material. A list too large for one mesh is cut between triangles, so nothing is lost;
// only the vertices a mesh's triangles use are copied into it. Pure data, no Assimp.
#pragma once

#include "psk/psk_records.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t kPskMaxMeshVertices = 65536;

struct MeshPart {
    std::vector<PskVertex> vertices;
    std::vector<std::uint32_t> triangles; // three vertex indices per triangle
    std::uint32_t material = 0;           // the PSK file's material object index
};

struct PackedMesh {
    std::vector<PskVertex> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PskSubMesh> subMeshes;
};

// Triangles naming a vertex outside their part are left out.
std::vector<PackedMesh> packMeshParts(std::span<const MeshPart> parts,
                                      std::size_t maxVertices = kPskMaxMeshVertices);
