// SubMesh: blending with the node's raw visibility, the draw order and the draw call it
// issues. Sprite: its one control field.
#include "material_fixture.h"

#include "scene/index_buffer.h"
#include "scene/mesh.h"
#include "scene/sprite.h"
#include "scene/sub_mesh.h"
#include "scene/vertex_buffer.h"

#include <algorithm>

namespace {

class SubMeshTest : public MaterialSceneTest {
protected:
    Group& carrier = node("carrier");
    VertexBuffer& vertices = scene->create<VertexBuffer>(scene->nextId());
    IndexBuffer& indices = scene->create<IndexBuffer>(scene->nextId());
    Mesh& mesh = scene->create<Mesh>(scene->nextId());

    void SetUp() override
    {
        MaterialSceneTest::SetUp();
        vertices.setVertices(std::vector<float>(4 * VertexBuffer::kFloatsPerVertex, 0.0f));
        indices.setIndices({0, 1, 2, 2, 1, 3, 0, 2, 3});
        mesh.setVertexBufferId(vertices.id());
        mesh.setIndexBufferId(indices.id());
        mesh.node = &carrier;
        carrier.mesh = &mesh;
    }
    Material& withOpacity(float opacity)
    {
        Material& m = material();
        m.opacity = opacity;
        return m;
    }
    SubMesh& range(Material* m, std::uint32_t start = 0, std::uint32_t count = 3)
    {
        SubMesh& created = scene->create<SubMesh>(scene->nextId());
        created.mesh = &mesh;
        created.startIndex = start;
        created.indexCount = count;
        if (m) created.setMaterialId(m->id());
        mesh.subMeshes.push_back(&created);
        return created;
    }
    std::vector<SubMesh*> sorted()
    {
        std::vector<SubMesh*> order = mesh.subMeshes;
        std::stable_sort(order.begin(), order.end(), [](SubMesh* a, SubMesh* b) { return drawsBefore(*a, *b); });
        return order;
    }
};

TEST_F(SubMeshTest, OpaqueRangesComeFirstThenAscendingMaterialIds)
{
    Material& blended = withOpacity(0.5f);
    Material& opaqueLow = withOpacity(1.0f);
    Material& opaqueHigh = withOpacity(1.0f);
    SubMesh& b = range(&blended);
    SubMesh& high = range(&opaqueHigh);
    SubMesh& low = range(&opaqueLow);
    EXPECT_EQ(sorted(), (std::vector<SubMesh*>{&low, &high, &b}));
    EXPECT_FALSE(drawsBefore(low, low));
}

TEST_F(SubMeshTest, BlendingUsesTheNodesRawVisibilityNotTheFade)
{
    Material& opaque = withOpacity(1.0f);
    SubMesh& r = range(&opaque);
    SubMesh& bare = range(nullptr);
    opaque.link();
    carrier.visibility = 0.995f;
    EXPECT_FALSE(r.needsBlending()); // sorted with the opaque ones...
    opaque.apply(carrier.visibility);
    EXPECT_EQ(device->renderState(D3DRS_ALPHABLENDENABLE), DWORD(TRUE)); // ...yet blended
    carrier.visibility = 0.99f;
    EXPECT_TRUE(r.needsBlending());
    EXPECT_FALSE(bare.needsBlending());
    SubMesh loose(*scene, 999);
    loose.setMaterialId(opaque.id());
    EXPECT_FALSE(loose.needsBlending()); // no mesh, no node
}

TEST_F(SubMeshTest, DrawIssuesItsRangeAsATriangleListAndStaysInsideTheIndices)
{
    mesh.link();
    const struct {
        std::uint32_t start, count;
        const char* call; // null: nothing drawn
    } cases[] = {
        {3, 6, "DrawIndexedPrimitive 4 0 0 4 3 2"},
        {0, 9, "DrawIndexedPrimitive 4 0 0 4 0 3"},
        {6, 30, "DrawIndexedPrimitive 4 0 0 4 6 1"}, // cut at the end of the list
        {9, 3, nullptr},
        {0xFFFFFFFFu, 3, nullptr},
        {0, 2, nullptr}, // less than a triangle
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        device->clearCalls();
        range(nullptr, c.start, c.count).draw();
        if (c.call) {
            ASSERT_EQ(device->calls().size(), 1u);
            EXPECT_EQ(device->calls()[0], c.call);
        } else {
            EXPECT_TRUE(device->calls().empty());
        }
    }
}

TEST_F(MaterialSceneTest, SpriteSizeIsItsOnlyControlField)
{
    Sprite& sprite = scene->create<Sprite>(scene->nextId());
    sprite.setTextureId(texture("alpha.png").id());
    EXPECT_EQ(sprite.controlField("Size"), &sprite.size);
    EXPECT_NE(sprite.texture(), nullptr);
    EXPECT_FALSE(sprite.glowExclusion);
    EXPECT_THROW(sprite.controlField("size"), ProcessExit);
    ASSERT_EQ(testShell.boxes.size(), 1u);
    EXPECT_EQ(testShell.boxes[0].text, "Sprite: Invalid control field!");
}

} // namespace
