// Buffers, meshes and tracks as the loader builds them from writer-made files.
#include "loader_fixture.h"

#include "psk/psk_time_value.h"
#include "scene/index_buffer.h"
#include "scene/mesh.h"
#include "scene/multi_vertex_buffer.h"

#include <limits>

namespace {

TEST_F(LoaderTest, VertexBuffersPlainAndWithFrames)
{
    // F = 3, flags 5: position, normal and the first texture coordinates in frame 0.
    PskVertexBuffer morph{3, kPskHasNormals | kPskHasTexCoords0, 0, {}, {}};
    morph.vertices = {{{1, 2, 3}, {0, 0, 1}, {0.25f, 0.75f}, {}}, {{4, 5, 6}, {0, 1, 0}, {1, 0}, {}}};
    morph.laterFramePositions = {10, 20, 30, 40, 50, 60, 7, 8, 9, 1, 1, 1};
    PskVertexBuffer plain{1, 0, 0, {{{1, 1, 1}, {}, {}, {}}}, {}};
    files["v.psk"] = PskWriter().chunk(1, 4, morph).chunk(1, 5, plain).bytes();
    PSKSceneLoader& loader = load("v.psk");

    auto* frames = byId<MultiVertexBuffer>(loader.idForIndex(4));
    ASSERT_NE(frames, nullptr);
    ASSERT_EQ(frames->vertexCount(), 2u);
    const float firstVertex[] = {1, 2, 3, 0, 0, 1, 0.25f, 0.75f, 0, 0};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(frames->vertex(0)[i], firstVertex[i]) << i;
    EXPECT_EQ(frames->vertex(1)[4], 1.0f);
    ASSERT_EQ(frames->frameCount(), 3u);
    EXPECT_EQ(frames->frame(0)[3], 4.0f);
    EXPECT_EQ(frames->frame(1)[5], 60.0f);
    EXPECT_EQ(frames->frame(2)[0], 7.0f);

    auto* single = byId<VertexBuffer>(loader.idForIndex(5));
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(dynamic_cast<MultiVertexBuffer*>(single), nullptr);
    EXPECT_EQ(single->vertexCount(), 1u);
}

TEST_F(LoaderTest, HugeFrameCountOverNoVerticesHoldsNothing)
{
    PskVertexBuffer empty{0xFFFFFFFFu, 0, 0, {}, {}};
    files["v.psk"] = PskWriter().chunk(1, 0, empty).bytes();
    PSKSceneLoader& loader = load("v.psk");
    auto* buffer = byId<MultiVertexBuffer>(loader.idForIndex(0));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->frameCount(), 0u);
}

TEST_F(LoaderTest, IndicesKeepTheirLowSixteenBits)
{
    PskPayloadBuilder indices;
    indices.u32(4).u32(65536 + 2).u32(7).u32(0xFFFF0001u).u32(65535);
    files["i.psk"] = PskWriter().rawChunk(7, 1, 3, indices.bytes()).bytes();
    PSKSceneLoader& loader = load("i.psk");
    auto* buffer = byId<IndexBuffer>(loader.idForIndex(3));
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->indices(), (std::vector<std::uint16_t>{2, 7, 1, 65535}));
    EXPECT_EQ(buffer->triangleCount(), 1u);
}

TEST_F(LoaderTest, MeshJoinsItsNodeAndRaisesTheNodeFlags)
{
    PskNodeRecord carrier = nodeRecord("Carrier");
    carrier.flagA = true;
    PskVertexBuffer vertices{1, 0, 0, {{{1, 0, 0}, {}, {}, {}}, {{0, 1, 0}, {}, {}, {}}, {{0, 0, 1}, {}, {}, {}}}, {}};
    // The mesh names its buffers before they are defined: they are drawn, not resolved now.
    files["m.psk"] = PskWriter()
                         .chunk(1, 0, PskGroup{carrier})
                         .chunk(1, 1, PskMesh{0, "Box", 2, 3, {}})
                         .chunk(1, 2, vertices)
                         .chunk(1, 3, PskIndexBuffer{{0, 1, 2}})
                         .bytes();
    PSKSceneLoader& loader = load("m.psk");
    Group* node = named<Group>("Carrier");
    auto* mesh = byId<Mesh>(loader.idForIndex(1));
    ASSERT_TRUE(node && mesh);
    EXPECT_EQ(node->mesh, mesh);
    EXPECT_EQ(mesh->node, node);
    EXPECT_TRUE(scene->stateCache().meshFlagA);
    EXPECT_FALSE(scene->stateCache().meshFlagB);
    EXPECT_EQ(mesh->vertexBuffer(), byId<VertexBuffer>(loader.idForIndex(2)));
    EXPECT_EQ(mesh->indexBuffer(), byId<IndexBuffer>(loader.idForIndex(3)));
}

TEST_F(LoaderTest, TransformSamplesTakeMissingComponentsFromTheNode)
{
    PskNodeRecord spinner = nodeRecord("Spinner");
    spinner.transform = {{1, 2, 3}, {0, 0, 0, 1}, {4, 5, 6}};
    PskTransformSample quarter;
    quarter.rotation = {0, 0.70710677f, 0, 0.70710677f};
    // Flags 2: each sample holds only its rotation.
    PskTransformTrack spin{0, {0, 0, 10, 10}, kPskTrackRotation, {quarter}};
    files["t.psk"] = PskWriter().chunk(1, 0, PskGroup{spinner}).chunk(1, 0, spin).bytes();
    load("t.psk");
    Group* node = named<Group>("Spinner");
    ASSERT_NE(node, nullptr);
    node->transform = Transform{};
    scene->prepare();
    scene->animate(20.0f);
    EXPECT_EQ(node->transform.position, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(node->transform.scale, D3DXVECTOR3(4, 5, 6));
    EXPECT_EQ(node->transform.rotation.y, 0.70710677f);
}

TEST_F(LoaderTest, FloatAndVertexTracksDriveTheirTargets)
{
    PskVertexBuffer morph{2, 0, 0, {{{0, 0, 0}, {}, {}, {}}}, {8, 8, 8}};
    PskFloatTrack fade{0, "VISTRACK", {0, 0, 100, 200}, {0.0f, 1.0f}};
    files["f.psk"] = PskWriter()
                         .chunk(1, 0, groupRecord("Faded"))
                         .chunk(1, 1, morph)
                         .chunk(1, 0, fade)
                         .chunk(1, 0, PskVertexTrack{1, {0, 0, 0, 100}})
                         .bytes();
    PSKSceneLoader& loader = load("f.psk");
    ASSERT_EQ(scene->controllerCount(), 2u);
    scene->prepare();
    scene->animate(150.0f);
    EXPECT_FLOAT_EQ(named<Group>("Faded")->visibility, 0.5f);
    EXPECT_FLOAT_EQ(byId<MultiVertexBuffer>(loader.idForIndex(1))->vertex(0)[1], 8.0f);
}

TEST(PskTimeValue, ScaledOffsetAndTruncatedIntoRange)
{
    struct Case {
        std::uint32_t stored;
        float scale, offset;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {50, 2.0f, 100.0f, 200},
        {3, 0.5f, 0.0f, 1},           // 1.5 truncates toward zero
        {0xFFFFFFFFu, 1.0f, 0.0f, 0xFFFFFFFFu},
        {16777217u, 1.0f, 0.0f, 16777216u}, // single precision
        {10, 1.0f, -50.0f, 0},        // below zero: 0
        {10, 1.0e30f, 0.0f, 0xFFFFFFFFu},
        {10, std::numeric_limits<float>::quiet_NaN(), 0.0f, 0},
        {10, -1.0f, 0.0f, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pskTimeValue(c.stored, c.scale, c.offset), c.expected) << c.stored << " " << c.scale << " " << c.offset;
}

} // namespace
