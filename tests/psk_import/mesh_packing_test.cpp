// Packing a node's triangle lists into PSK meshes: no mesh above the vertex limit, every
// triangle kept exactly once with its corners, one sub-mesh per run of a material.
#include "psk_import/mesh_packing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <tuple>

namespace {

// A strip of quads whose vertices are all distinct: `vertices` of them, numbered in x.
MeshPart strip(std::uint32_t vertices, std::uint32_t material)
{
    MeshPart part;
    part.material = material;
    for (std::uint32_t v = 0; v < vertices; ++v)
        part.vertices.push_back(PskVertex{{static_cast<float>(v), static_cast<float>(material), 0.0f}, {}, {}, {}});
    for (std::uint32_t v = 0; v + 2 < vertices; ++v)
        part.triangles.insert(part.triangles.end(), {v, v + 1, v + 2});
    return part;
}

using Corners = std::array<float, 9>;

// Every triangle by its corner positions, with its material, counted.
std::map<std::pair<Corners, std::uint32_t>, int> trianglesOf(const std::vector<PackedMesh>& meshes)
{
    std::map<std::pair<Corners, std::uint32_t>, int> out;
    for (const PackedMesh& mesh : meshes)
        for (const PskSubMesh& sub : mesh.subMeshes)
            for (std::uint32_t i = sub.startIndex; i < sub.startIndex + sub.indexCount; i += 3) {
                Corners corners{};
                for (int k = 0; k < 3; ++k)
                    for (int c = 0; c < 3; ++c)
                        corners[k * 3 + c] = mesh.vertices.at(mesh.indices.at(i + k)).position[c];
                ++out[{corners, sub.material}];
            }
    return out;
}

std::map<std::pair<Corners, std::uint32_t>, int> trianglesOf(const std::vector<MeshPart>& parts)
{
    std::map<std::pair<Corners, std::uint32_t>, int> out;
    for (const MeshPart& part : parts)
        for (std::size_t i = 0; i < part.triangles.size(); i += 3) {
            Corners corners{};
            for (int k = 0; k < 3; ++k)
                for (int c = 0; c < 3; ++c)
                    corners[k * 3 + c] = part.vertices[part.triangles[i + k]].position[c];
            ++out[{corners, part.material}];
        }
    return out;
}

} // namespace

TEST(MeshPacking, SplitsAtTheVertexLimitAndKeepsEveryTriangle)
{
    struct Case {
        const char* what;
        std::vector<std::uint32_t> vertexCounts; // one part per entry, material = its position
        std::size_t limit;
        std::size_t meshes;
    };
    const Case cases[] = {
        {"70,000 vertices in one list", {70000}, kPskMaxMeshVertices, 2},
        {"exactly the limit", {65536}, kPskMaxMeshVertices, 1},
        {"two lists that fit together", {30000, 35536}, kPskMaxMeshVertices, 1},
        {"two lists one over", {30000, 35537}, kPskMaxMeshVertices, 2},
        {"small limit, many meshes", {100, 50}, 10, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<MeshPart> parts;
        for (std::size_t i = 0; i < c.vertexCounts.size(); ++i)
            parts.push_back(strip(c.vertexCounts[i], static_cast<std::uint32_t>(i)));
        const std::vector<PackedMesh> packed = packMeshParts(parts, c.limit);
        EXPECT_EQ(packed.size(), c.meshes);
        for (const PackedMesh& mesh : packed) {
            EXPECT_LE(mesh.vertices.size(), c.limit);
            // Every vertex copied is used, and every index is inside its mesh.
            std::vector<bool> used(mesh.vertices.size());
            for (std::uint16_t index : mesh.indices) {
                ASSERT_LT(index, mesh.vertices.size());
                used[index] = true;
            }
            EXPECT_TRUE(std::all_of(used.begin(), used.end(), [](bool u) { return u; }));
        }
        EXPECT_EQ(trianglesOf(packed), trianglesOf(parts));
    }
}

TEST(MeshPacking, OneSubMeshPerRunOfAMaterial)
{
    // Materials 4, 4, 7, 4: the first two lists share a range, the others get their own.
    std::vector<MeshPart> parts{strip(5, 4), strip(5, 4), strip(5, 7), strip(5, 4)};
    const std::vector<PackedMesh> packed = packMeshParts(parts);
    ASSERT_EQ(packed.size(), 1u);
    const auto& subs = packed[0].subMeshes;
    ASSERT_EQ(subs.size(), 3u);
    EXPECT_EQ(std::tie(subs[0].material, subs[0].startIndex, subs[0].indexCount), std::make_tuple(4u, 0u, 18u));
    EXPECT_EQ(std::tie(subs[1].material, subs[1].startIndex, subs[1].indexCount), std::make_tuple(7u, 18u, 9u));
    EXPECT_EQ(std::tie(subs[2].material, subs[2].startIndex, subs[2].indexCount), std::make_tuple(4u, 27u, 9u));
}

TEST(MeshPacking, SharedVerticesAreCopiedOncePerMeshAndBadTrianglesLeftOut)
{
    MeshPart part;
    for (int v = 0; v < 4; ++v)
        part.vertices.push_back(PskVertex{{static_cast<float>(v), 0.0f, 0.0f}, {}, {}, {}});
    part.triangles = {0, 1, 2, 0, 2, 3, 0, 3, 9, 1, 1, 2};
    const std::vector<PackedMesh> packed = packMeshParts(std::vector<MeshPart>{part});
    ASSERT_EQ(packed.size(), 1u);
    EXPECT_EQ(packed[0].vertices.size(), 4u);
    // The triangle naming vertex 9 is gone; the one that repeats a corner is kept as given.
    EXPECT_EQ(packed[0].indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3, 1, 1, 2}));
    EXPECT_TRUE(packMeshParts(std::vector<MeshPart>{}).empty());
}
