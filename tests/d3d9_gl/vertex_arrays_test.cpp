// Draws that switch between buffer sets: every mesh keeps its own vertex array, so what a draw
// reads must always be its own buffers, through name reuse after a deletion, streamed draws
// in between, and the same buffer bound at another offset or without indices.
#include "gl_test_support.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_device.h"

#include <cstring>

namespace {

// A quad over one quarter of the screen (quarter 0..3: left/right, bottom/top) in one colour.
struct Quad {
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
};

void fillQuad(XyzDiffuseVertex* out, int quarter, D3DCOLOR colour)
{
    const float x = quarter & 1 ? 0.0f : -1.0f, y = quarter & 2 ? 0.0f : -1.0f;
    const XyzDiffuseVertex corners[] = {
        {x, y, 0.5f, colour}, {x, y + 1, 0.5f, colour}, {x + 1, y, 0.5f, colour}, {x + 1, y + 1, 0.5f, colour}};
    std::memcpy(out, corners, sizeof corners);
}

class VertexArrays : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        setRs(D3DRS_LIGHTING, FALSE);
        setRs(D3DRS_CULLMODE, D3DCULL_NONE);
        setRs(D3DRS_ZENABLE, D3DZB_FALSE);
        ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    }

    // `copies` quads one after the other in the vertex buffer, quad k in quarters[k].
    Quad makeQuad(std::initializer_list<int> quarters, D3DCOLOR colour)
    {
        Quad quad;
        const UINT bytes = static_cast<UINT>(quarters.size() * 4 * sizeof(XyzDiffuseVertex));
        EXPECT_EQ(device->CreateVertexBuffer(bytes, 0, 0, D3DPOOL_MANAGED, &quad.vertices, nullptr), D3D_OK);
        EXPECT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &quad.indices, nullptr), D3D_OK);
        void* data = nullptr;
        EXPECT_EQ(quad.vertices->Lock(0, 0, &data, 0), D3D_OK);
        auto* vertex = static_cast<XyzDiffuseVertex*>(data);
        for (int quarter : quarters) {
            fillQuad(vertex, quarter, colour);
            vertex += 4;
        }
        quad.vertices->Unlock();
        const WORD indices[] = {0, 1, 2, 2, 1, 3};
        EXPECT_EQ(quad.indices->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, indices, sizeof indices);
        quad.indices->Unlock();
        return quad;
    }

    void drawIndexed(const Quad& quad, UINT offset = 0)
    {
        ASSERT_EQ(device->SetStreamSource(0, quad.vertices, offset, sizeof(XyzDiffuseVertex)), D3D_OK);
        ASSERT_EQ(device->SetIndices(quad.indices), D3D_OK);
        ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    }

    static void release(Quad& quad)
    {
        safeRelease(quad.vertices);
        safeRelease(quad.indices);
    }

    void unbind()
    {
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
    }

    void expectQuarters(std::initializer_list<std::uint32_t> expected)
    {
        const Image image = readTarget();
        // Quarter centres in pixels, row 0 at the top: quarter 0 is bottom left.
        const int xs[] = {160, 480, 160, 480}, ys[] = {360, 360, 120, 120};
        int quarter = 0;
        for (std::uint32_t colour : expected) {
            EXPECT_TRUE(colorNear(image.rgb(xs[quarter], ys[quarter]), colour, 0)) << "quarter " << quarter;
            ++quarter;
        }
    }
};

d3dgl::GlDevice& glDevice(IDirect3DDevice9* device) { return *static_cast<d3dgl::GlDevice*>(device); }

} // namespace

TEST_F(VertexArrays, AlternatingMeshesAndStreamedDrawsEachReadTheirOwnData)
{
    Quad red = makeQuad({0}, 0xFFFF0000), green = makeQuad({1}, 0xFF00FF00);
    XyzDiffuseVertex blue[4];
    fillQuad(blue, 2, 0xFF0000FF);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (int round = 0; round < 3; ++round) {
        drawIndexed(red);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, blue, sizeof blue[0]), D3D_OK);
        drawIndexed(green);
    }
    // The same vertex buffer without indices is a different source again.
    ASSERT_EQ(device->SetStreamSource(0, green.vertices, 0, sizeof(XyzDiffuseVertex)), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    expectQuarters({0xFF0000, 0x00FF00, 0x0000FF, 0x000000});
    unbind();
    release(red);
    release(green);
}

TEST_F(VertexArrays, TheSameBufferAtAnotherOffsetDrawsTheOtherVertices)
{
    Quad twoQuads = makeQuad({0, 3}, 0xFFFFFF00);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    drawIndexed(twoQuads, 0);
    drawIndexed(twoQuads, 4 * sizeof(XyzDiffuseVertex));
    ASSERT_EQ(device->EndScene(), D3D_OK);
    expectQuarters({0xFFFF00, 0x000000, 0x000000, 0xFFFF00});
    unbind();
    release(twoQuads);
}

TEST_F(VertexArrays, ArraysOfDeletedBuffersGoBeforeTheNextDraw)
{
    // OpenGL may hand a deleted buffer's name to the next buffer made: an array kept for the
    // old buffer would then draw the new one through a stale binding.
    Quad kept = makeQuad({3}, 0xFFFFFFFF);
    for (int generation = 0; generation < 3; ++generation) {
        Quad quad = makeQuad({generation}, 0xFF00FFFF);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        drawIndexed(kept);
        drawIndexed(quad);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        EXPECT_EQ(glDevice(device).pipeline().bufferArrayCount(), 2u) << "generation " << generation;
        std::uint32_t expected[4] = {0, 0, 0, 0xFFFFFF};
        expected[generation] = 0x00FFFF;
        expectQuarters({expected[0], expected[1], expected[2], expected[3]});
        unbind();
        release(quad);
    }
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    drawIndexed(kept);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(glDevice(device).pipeline().bufferArrayCount(), 1u);
    unbind();
    release(kept);
}

TEST_F(VertexArrays, SwitchingMeshesCostsOneArrayBindPerDraw)
{
    Quad first = makeQuad({0}, 0xFFFF0000), second = makeQuad({1}, 0xFF00FF00);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    drawIndexed(first);
    drawIndexed(second);
    const std::uint64_t before = glDevice(device).pipeline().stateCallsIssued();
    for (int i = 0; i < 5; ++i) {
        drawIndexed(first);
        drawIndexed(second);
    }
    EXPECT_EQ(glDevice(device).pipeline().stateCallsIssued(), before + 10);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    unbind();
    release(first);
    release(second);
}
