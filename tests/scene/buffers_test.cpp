// Vertex and index buffers: radius, adjacency and normals, uploads into the device buffers
// the state cache creates, and the lock-failure messages.
#include "scene_fixture.h"

#include "scene/index_buffer.h"
#include "scene/mesh.h"
#include "scene/multi_vertex_buffer.h"

#include <cmath>
#include <cstring>

namespace {

// A buffer whose every lock fails.
template <typename Interface, typename Desc>
class LockFailing final : public Interface {
public:
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_FAIL; }
    HRESULT Lock(UINT, UINT, void**, DWORD) override { return E_FAIL; }
    HRESULT Unlock() override { return E_FAIL; }
    HRESULT GetDesc(Desc*) override { return E_FAIL; }

private:
    ULONG refs_ = 1;
};

// Position only; the normal and texture coordinates are filled with markers.
std::vector<float> records(std::initializer_list<D3DXVECTOR3> positions)
{
    std::vector<float> out;
    float marker = 100;
    for (const D3DXVECTOR3& p : positions) {
        out.insert(out.end(), {p.x, p.y, p.z, 9, 9, 9, marker, marker + 1, marker + 2, marker + 3});
        marker += 10;
    }
    return out;
}

class BuffersTest : public SceneTest {
protected:
    VertexBuffer& vertices = scene->create<VertexBuffer>(scene->nextId());
    IndexBuffer& indices = scene->create<IndexBuffer>(scene->nextId());

    D3DXVECTOR3 normalOf(std::uint32_t v) const
    {
        const float* record = vertices.vertex(v);
        return {record[3], record[4], record[5]};
    }
    void expectNormal(std::uint32_t v, D3DXVECTOR3 expected) const
    {
        const D3DXVECTOR3 n = normalOf(v);
        EXPECT_NEAR(n.x, expected.x, 1e-6f) << "vertex " << v;
        EXPECT_NEAR(n.y, expected.y, 1e-6f) << "vertex " << v;
        EXPECT_NEAR(n.z, expected.z, 1e-6f) << "vertex " << v;
    }
};

TEST_F(BuffersTest, RadiusHoldsTheLargestExtentOfEveryAxis)
{
    vertices.setVertices(records({{0.5f, 0.5f, 0.5f}, {-3.7f, 2.2f, 0}}));
    EXPECT_NEAR(vertices.radius(), std::sqrt(3.7f * 3.7f + 2.2f * 2.2f + 0.25f), 1e-6f);
    EXPECT_NEAR(vertices.radius(), 4.3336f, 1e-4f);

    vertices.setVertices(records({{0, 0, 0}, {0, 0, 0}}));
    EXPECT_EQ(vertices.radius(), 0.0f);
    vertices.setVertices(records({{0, 0, 0}, {0, -0.25f, 0}}));
    EXPECT_EQ(vertices.radius(), 0.25f);
    vertices.setVertices({});
    EXPECT_EQ(vertices.radius(), 0.0f);
}

TEST_F(BuffersTest, MultiVertexBufferRadiusCoversEveryFrameNotTheRecords)
{
    auto& animated = scene->create<MultiVertexBuffer>(scene->nextId());
    animated.setVertices(records({{50, 50, 50}, {0, 0, 0}}));
    animated.addFrame({1, 0, 0, 0, 0, 0});
    animated.addFrame({0, -2, 0, 0, 0, 0});
    animated.addFrame({0, 0, 0, 0, 0, 3, 99, 99, 99}); // the extra vertex is cut off
    EXPECT_FLOAT_EQ(animated.radius(), std::sqrt(1.0f + 4.0f + 9.0f));
    animated.addFrame({7});
    EXPECT_EQ(animated.frame(3)[1], 0.0f);
    EXPECT_FLOAT_EQ(animated.radius(), std::sqrt(49.0f + 4.0f + 9.0f));
}

TEST_F(BuffersTest, FaceNormalOfACounterClockwiseTriangleFacesPlusZ)
{
    vertices.setVertices(records({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    indices.setIndices({0, 1, 2});
    vertices.buildAdjacency(indices);
    vertices.computeFaceNormals();
    ASSERT_EQ(vertices.triangleCount(), 1u);
    EXPECT_EQ(vertices.triangles()[0].normal, D3DXVECTOR3(0, 0, 1));
}

TEST_F(BuffersTest, SharedVerticesGetTheNormalisedSumOfTheirFaces)
{
    // A square folded along the diagonal 1–2: one half in z = 0, the other rising in z.
    vertices.setVertices(records({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 1}, {5, 5, 5}}));
    indices.setIndices({0, 1, 2, 2, 1, 3});
    vertices.buildAdjacency(indices);
    vertices.upload();

    const D3DXVECTOR3 flat(0, 0, 1);
    D3DXVECTOR3 e1(1, -1, 0), e2(1, 0, 1), tilted;
    D3DXVec3Cross(&tilted, &e1, &e2);
    D3DXVec3Normalize(&tilted, &tilted);
    D3DXVECTOR3 shared = flat + tilted;
    D3DXVec3Normalize(&shared, &shared);

    expectNormal(0, flat);
    expectNormal(3, tilted);
    expectNormal(1, shared);
    expectNormal(2, shared);
    // On no triangle: the normal of a zero sum is (0, 0, 0).
    expectNormal(4, D3DXVECTOR3(0, 0, 0));
    // Texture coordinates stay as read.
    EXPECT_EQ(vertices.vertex(1)[6], 110.0f);
    EXPECT_EQ(vertices.vertex(1)[9], 113.0f);
}

TEST_F(BuffersTest, TrianglesNamingMissingVerticesAreLeftOutOfTheNormals)
{
    vertices.setVertices(records({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    indices.setIndices({0, 1, 2, 0, 2, 3, 65535, 0, 1});
    vertices.buildAdjacency(indices);
    vertices.upload();
    EXPECT_EQ(vertices.triangleCount(), 1u);
    expectNormal(0, D3DXVECTOR3(0, 0, 1));
}

TEST_F(BuffersTest, UploadWithoutAdjacencyKeepsTheNormalsItWasGiven)
{
    vertices.setVertices(records({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    ASSERT_TRUE(vertices.createDeviceBuffer());
    vertices.upload();
    expectNormal(0, D3DXVECTOR3(9, 9, 9));

    void* data = nullptr;
    ASSERT_EQ(vertices.deviceBuffer()->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(std::memcmp(data, vertices.vertex(0), 3 * 40), 0);
    vertices.deviceBuffer()->Unlock();
}

TEST_F(BuffersTest, UploadWritesTheWholeRecordsIntoADeviceBufferOfTheRightShape)
{
    vertices.setVertices(records({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
    indices.setIndices({0, 1, 2});
    vertices.buildAdjacency(indices);
    ASSERT_TRUE(vertices.createDeviceBuffer());
    vertices.upload();

    D3DVERTEXBUFFER_DESC desc{};
    vertices.deviceBuffer()->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 120u);
    EXPECT_EQ(desc.FVF, 0x212u);
    void* data = nullptr;
    ASSERT_EQ(vertices.deviceBuffer()->Lock(0, 0, &data, 0), D3D_OK);
    const float* uploaded = static_cast<const float*>(data);
    EXPECT_EQ(uploaded[10 + 3], 0.0f);
    EXPECT_EQ(uploaded[10 + 5], 1.0f);
    EXPECT_EQ(uploaded[20 + 7], 121.0f);
    vertices.deviceBuffer()->Unlock();
}

TEST_F(BuffersTest, IndexBufferKeepsWholeTrianglesOnly)
{
    indices.setIndices({0, 1, 2, 2, 1, 3, 4});
    EXPECT_EQ(indices.triangleCount(), 2u);
    ASSERT_TRUE(indices.createDeviceBuffer());
    indices.upload();
    D3DINDEXBUFFER_DESC desc{};
    indices.deviceBuffer()->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 12u);
    void* data = nullptr;
    ASSERT_EQ(indices.deviceBuffer()->Lock(0, 0, &data, 0), D3D_OK);
    const std::uint16_t expected[] = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(std::memcmp(data, expected, sizeof expected), 0);
    indices.deviceBuffer()->Unlock();
}

TEST_F(BuffersTest, UploadsWithoutADeviceBufferWriteNothing)
{
    vertices.setVertices(records({{0, 0, 0}}));
    vertices.upload();
    indices.setIndices({0, 0, 0});
    indices.upload();
    EXPECT_EQ(device->countCalls("CreateVertexBuffer") + device->countCalls("CreateIndexBuffer"), 0u);
}

TEST_F(BuffersTest, FailedLocksEndTheProgramWithTheirMessages)
{
    vertices.setVertices(records({{0, 0, 0}}));
    vertices.deviceBuffer() =
        DeviceRef<IDirect3DVertexBuffer9>(new LockFailing<IDirect3DVertexBuffer9, D3DVERTEXBUFFER_DESC>);
    EXPECT_EXIT(WITH_REAL_SHELL(vertices.upload()), ::testing::ExitedWithCode(0), "Error: Vertex buffer lock failed!");

    indices.setIndices({0, 0, 0});
    indices.deviceBuffer() = DeviceRef<IDirect3DIndexBuffer9>(new LockFailing<IDirect3DIndexBuffer9, D3DINDEXBUFFER_DESC>);
    EXPECT_EXIT(WITH_REAL_SHELL(indices.upload()), ::testing::ExitedWithCode(0), "Error: Index buffer lock failed!");
}

TEST_F(BuffersTest, MeshLinkMakesBothDeviceBuffersAndTakesTheRadius)
{
    vertices.setVertices(records({{0, 0, 0}, {2, 0, 0}, {0, -3, 0}}));
    indices.setIndices({0, 2, 1});
    Mesh& mesh = scene->create<Mesh>(scene->nextId());
    mesh.setVertexBufferId(vertices.id());
    mesh.setIndexBufferId(indices.id());
    Mesh& unnamed = scene->create<Mesh>(scene->nextId());
    unnamed.setVertexBufferId(indices.id()); // not a vertex buffer: nothing to link
    scene->prepare();

    EXPECT_FLOAT_EQ(mesh.boundingRadius, std::sqrt(13.0f));
    EXPECT_EQ(unnamed.boundingRadius, 0.0f);
    ASSERT_TRUE(vertices.deviceBuffer());
    ASSERT_TRUE(indices.deviceBuffer());
    expectNormal(0, D3DXVECTOR3(0, 0, 1));
    mesh.bindBuffers();
    EXPECT_EQ(device->streamSource(0).buffer, vertices.deviceBuffer().get());
    EXPECT_EQ(device->streamSource(0).stride, 40u);
    EXPECT_EQ(device->indices(), indices.deviceBuffer().get());
}

TEST_F(BuffersTest, MeshLinkEndsTheProgramWhenTheDeviceRefusesABuffer)
{
    Mesh& mesh = scene->create<Mesh>(scene->nextId());
    mesh.setVertexBufferId(vertices.id());
    mesh.setIndexBufferId(indices.id());
    vertices.setVertices(records({{0, 0, 0}}));
    // An empty index list asks for a zero-length buffer, which the device refuses.
    EXPECT_EXIT(WITH_REAL_SHELL(mesh.link()), ::testing::ExitedWithCode(0), "Error: Index buffer creation failed!");
    vertices.setVertices({});
    indices.setIndices({0, 0, 0});
    EXPECT_EXIT(WITH_REAL_SHELL(mesh.link()), ::testing::ExitedWithCode(0), "Error: Vertex buffer creation failed!");
}

} // namespace
