// glTF features beyond the plain scene: skinning (dropped, pose at rest kept), spot lights
// aimed through an animated parent, the eight-light limit, embedded pictures, a mesh over
// the vertex limit, and a source with nothing usable in it.
#include "import_test_support.h"
#include "source_files.h"

#include "file_io.h"
#include "psk_import/mesh_packing.h"
#include "tool_error.h"

#include <cmath>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string lightsExtension(int count, const std::string& light)
{
    std::ostringstream json;
    json << "\"extensionsUsed\":[\"KHR_lights_punctual\"],\"extensions\":{\"KHR_lights_punctual\":{\"lights\":[";
    for (int i = 0; i < count; ++i)
        json << (i ? "," : "") << light;
    json << "]}}";
    return json.str();
}

std::string lightNode(const std::string& name, int light, const std::string& extra = "")
{
    return "{\"name\":\"" + name + "\"" + extra + ",\"extensions\":{\"KHR_lights_punctual\":{\"light\":" +
           std::to_string(light) + "}}}";
}

} // namespace

TEST(GltfFeatures, SkinnedMeshKeepsItsPoseAtRestAndSaysSkinningWasDropped)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    const int positions = gltf.floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
    const int joints = gltf.bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC4");
    const int weights = gltf.floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
    const int inverseBind = gltf.floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "MAT4");
    std::ostringstream json;
    json << "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],"
         << "\"nodes\":[{\"name\":\"Body\",\"mesh\":0,\"skin\":0},{\"name\":\"Bone\",\"translation\":[0,2,0]}],"
         << "\"skins\":[{\"joints\":[1],\"inverseBindMatrices\":" << inverseBind << "}],"
         << "\"meshes\":[{\"name\":\"Flag\",\"primitives\":[{\"attributes\":{\"POSITION\":" << positions
         << ",\"JOINTS_0\":" << joints << ",\"WEIGHTS_0\":" << weights << "}}]}]";
    const Imported imported = importAndRead(gltf.write(dir, "skinned", json.str()), dir / "skinned.psk");
    EXPECT_TRUE(hasNote(imported.summary, "skinning dropped")) << testing::PrintToString(imported.summary.notes);
    const auto buffers = imported.view.all<PskVertexBuffer>();
    ASSERT_EQ(buffers.size(), 1u);
    // The bone holds the mesh 2 up (Y in the source, Z in the player) from where it was bound.
    std::vector<PskVec3> got;
    for (const PskVertex& v : buffers[0]->vertices)
        got.push_back(v.position);
    std::sort(got.begin(), got.end());
    const std::vector<PskVec3> expected{{0, 0, 2}, {0, 0, 3}, {1, 0, 2}};
    EXPECT_EQ(got, expected);
}

TEST(GltfFeatures, SpotLightShinesAlongTheSourceDirectionWhileItsParentTurns)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    const int times = gltf.floats({0.0f, 1.0f}, "SCALAR");
    const float s = std::sin(3.14159265f / 4), c = std::cos(3.14159265f / 4);
    const int turns = gltf.floats({0, 0, 0, 1, 0, 0, s, c}, "VEC4"); // a quarter turn about Z
    const float ps = std::sin(-0.5f / 2), pc = std::cos(-0.5f / 2);
    std::ostringstream json;
    json << lightsExtension(1, "{\"type\":\"spot\",\"color\":[1,1,1],\"intensity\":5,"
                               "\"spot\":{\"innerConeAngle\":0.2,\"outerConeAngle\":0.4}}")
         << ",\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
         << "\"nodes\":[{\"name\":\"Arm\",\"translation\":[1,2,3],\"children\":[1]},"
         << lightNode("Spot", 0, ",\"translation\":[0,1,0],\"rotation\":[" + std::to_string(ps) + ",0,0," +
                                     std::to_string(pc) + "]")
         << "],\"animations\":[{\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"rotation\"}}],"
         << "\"samplers\":[{\"input\":" << times << ",\"output\":" << turns << "}]}]";
    const Imported imported = importAndRead(gltf.write(dir, "spot", json.str()), dir / "spot.psk");
    const PlayerView& view = imported.view;
    const PskLight& light = *view.all<PskLight>().at(0);
    EXPECT_EQ(light.lightType, 2);
    EXPECT_NEAR(light.innerCone, 0.4f * 57.29578f, 1e-3);
    EXPECT_NEAR(light.outerCone, 0.8f * 57.29578f, 1e-3);
    const std::uint32_t index = view.nodeIndex("Spot").value();
    for (const float ms : {0.0f, 500.0f, 1000.0f}) {
        SCOPED_TRACE(ms);
        // The source: Arm turned about Z by a quarter of ms/1000, Spot pitched by −0.5 about X.
        const double a = 3.14159265 / 2 * ms / 1000;
        const double pitched[3] = {0.0, -std::sin(0.5), -std::cos(0.5)}; // (0, 0, −1) pitched by −0.5
        const double dir[3] = {std::cos(a) * pitched[0] - std::sin(a) * pitched[1],
                               std::sin(a) * pitched[0] + std::cos(a) * pitched[1], pitched[2]};
        const double origin[3] = {1 - std::sin(a), 2 + std::cos(a), 3};
        const D3DXMATRIX world = view.worldAt(index, ms);
        // The player shines along the negated second column; its axes swap Y and Z.
        EXPECT_NEAR(-world._12, dir[0], 1e-4);
        EXPECT_NEAR(-world._22, dir[2], 1e-4);
        EXPECT_NEAR(-world._32, dir[1], 1e-4);
        EXPECT_NEAR(world._41, origin[0], 1e-4);
        EXPECT_NEAR(world._42, origin[2], 1e-4);
        EXPECT_NEAR(world._43, origin[1], 1e-4);
    }
}

TEST(GltfFeatures, NineLightsKeepEightAndNameTheOneDropped)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    std::ostringstream json;
    json << lightsExtension(9, "{\"type\":\"point\",\"color\":[1,1,1],\"intensity\":1}")
         << ",\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2,3,4,5,6,7,8]}],\"nodes\":[";
    for (int i = 0; i < 9; ++i)
        json << (i ? "," : "") << lightNode("L" + std::to_string(i), i);
    json << "]";
    const Imported imported = importAndRead(gltf.write(dir, "lights", json.str()), dir / "lights.psk");
    EXPECT_EQ(imported.view.all<PskLight>().size(), 8u);
    EXPECT_EQ(imported.summary.lights, 8u);
    EXPECT_TRUE(hasNote(imported.summary, "light \"L8\": more than 8 lights; dropped"));
}

TEST(GltfFeatures, EmbeddedPicturesAreWrittenAsPngAndBrokenOnesDropped)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    const std::string cube = gltfCubePrimitive(gltf, 1.0f, 0);
    const std::string second = gltfCubePrimitive(gltf, 2.0f, 1);
    const int good = gltf.view(solidPng(3, 2, 1, 2, 3, 128));
    const int bad = gltf.view({'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    std::ostringstream json;
    json << "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"Box\",\"mesh\":0}],"
         << "\"meshes\":[{\"primitives\":[" << cube << "," << second << "]}],"
         << "\"images\":[{\"bufferView\":" << good << ",\"mimeType\":\"image/png\"},{\"bufferView\":" << bad
         << ",\"mimeType\":\"image/png\"}],"
         << "\"textures\":[{\"source\":0},{\"source\":1}],"
         << "\"materials\":[{\"name\":\"Good\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":0}}},"
         << "{\"name\":\"Bad\",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":1}}}]";
    const Imported imported = importAndRead(gltf.write(dir / "src", "embedded", json.str()), dir / "out" / "boxes.psk");
    const auto textures = imported.view.all<PskTexture>();
    ASSERT_EQ(textures.size(), 1u);
    const fs::path written = dir / "out" / textures[0]->fileName;
    ASSERT_TRUE(fs::exists(written)) << written;
    EXPECT_EQ(fs::path(textures[0]->fileName).extension(), ".png");
    EXPECT_EQ(solidPng(3, 2, 1, 2, 3, 128), readFileBytes(written));
    EXPECT_TRUE(hasNote(imported.summary, "material \"Bad\": embedded texture"));
    // The two primitives (two materials) are two sub-meshes of one mesh.
    ASSERT_EQ(imported.view.all<PskMesh>().size(), 1u);
    EXPECT_EQ(imported.view.all<PskMesh>()[0]->subMeshes.size(), 2u);
}

TEST(GltfFeatures, MeshOverTheVertexLimitIsSplitOverTwoNodesAndKeepsEveryTriangle)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    constexpr std::uint32_t kVertices = 70000;
    std::vector<float> positions;
    std::vector<std::uint32_t> indices;
    for (std::uint32_t v = 0; v < kVertices; ++v)
        positions.insert(positions.end(), {static_cast<float>(v / 2), static_cast<float>(v % 2), 0.0f});
    for (std::uint32_t v = 0; v + 2 < kVertices; v += 2)
        indices.insert(indices.end(), {v, v + 1, v + 2, v + 1, v + 3, v + 2});
    std::ostringstream json;
    json << "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"Ribbon\",\"mesh\":0}],"
         << "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" << gltf.floats(positions, "VEC3")
         << "},\"indices\":" << gltf.ints(indices) << "}]}]";
    const Imported imported = importAndRead(gltf.write(dir, "ribbon", json.str()), dir / "ribbon.psk");
    const PlayerView& view = imported.view;
    const auto meshes = view.all<PskMesh>();
    ASSERT_EQ(meshes.size(), 2u);
    std::size_t indexCount = 0;
    for (const PskMesh* mesh : meshes) {
        const auto& buffer = std::get<PskVertexBuffer>(view.object(mesh->vertexBuffer)->payload);
        EXPECT_LE(buffer.vertices.size(), kPskMaxMeshVertices);
        indexCount += std::get<PskIndexBuffer>(view.object(mesh->indexBuffer)->payload).indices.size();
    }
    EXPECT_EQ(indexCount, indices.size());
    // The second mesh hangs on a child of the node that does not move.
    const PskNodeRecord* carrier = view.node(meshes[1]->node);
    ASSERT_NE(carrier, nullptr);
    EXPECT_EQ(carrier->name, "Ribbon-part2");
    EXPECT_EQ(static_cast<std::uint32_t>(carrier->parent), meshes[0]->node);
    EXPECT_EQ(carrier->transform, PskTransform{});
}

TEST(GltfFeatures, SourceWithNothingUsableIsAnErrorAndWritesNothing)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    const fs::path input = gltf.write(dir, "empty", "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"name\":\"E\"}]");
    PskImportOptions options;
    options.input = input;
    options.output = dir / "empty.psk";
    EXPECT_THROW(importSceneToPsk(options), ToolError);
    EXPECT_FALSE(fs::exists(options.output));
    options.input = dir / "missing.gltf";
    EXPECT_THROW(importSceneToPsk(options), ToolError);
    writeTextFile(dir / "broken.gltf", "{\"asset\":{\"version\":\"2.0\"},\"nodes\":[{\"mesh\":7}");
    options.input = dir / "broken.gltf";
    EXPECT_THROW(importSceneToPsk(options), ToolError);
}

TEST(GltfFeatures, NamesAreMadeUniqueAndShortEnoughForTheFile)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    const std::string cube = gltfCubePrimitive(gltf, 1.0f, 0);
    const std::string huge(70000, 'x');
    std::ostringstream json;
    json << "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
         << "\"nodes\":[{\"name\":\"Twin\",\"mesh\":0},{\"name\":\"Twin\",\"mesh\":0},{\"name\":\"" << huge
         << "\",\"mesh\":0}],\"meshes\":[{\"name\":\"" << huge << "\",\"primitives\":[" << cube << "]}],"
         << "\"materials\":[{\"name\":\"M\"}]";
    const Imported imported = importAndRead(gltf.write(dir, "names", json.str()), dir / "names.psk");
    EXPECT_TRUE(imported.view.nodeIndex("Twin"));
    EXPECT_TRUE(imported.view.nodeIndex("Twin-2"));
    EXPECT_TRUE(imported.view.nodeIndex(std::string(255, 'x')));
    EXPECT_EQ(imported.view.all<PskMesh>().size(), 3u);
}
