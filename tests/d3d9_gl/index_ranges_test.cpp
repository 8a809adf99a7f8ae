// The index ranges the device checks draws against: remembered per buffer, they must equal a
// fresh scan of the indices whatever order ranges are asked in, after an Unlock changes the
// indices, and past the number of ranges a buffer remembers. Rebinding what is bound keeps
// one reference.
#include "gl_test_support.h"

#include "platform/d3d9/gl/gl_buffers.h"

#include <cstring>
#include <vector>

using IndexRanges = GlDeviceTest;

TEST_F(IndexRanges, RememberedRangesEqualAFreshScan)
{
    constexpr UINT kIndices = 3000;
    IDirect3DIndexBuffer9* created = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(kIndices * 2, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &created, nullptr), D3D_OK);
    auto* buffer = static_cast<d3dgl::GlIndexBuffer*>(created);
    std::vector<WORD> indices(kIndices);
    auto fill = [&](unsigned seed) {
        for (UINT i = 0; i < kIndices; ++i) indices[i] = static_cast<WORD>((i * 7919u + seed) % 5003u);
        void* data = nullptr;
        ASSERT_EQ(created->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, indices.data(), kIndices * 2);
        ASSERT_EQ(created->Unlock(), D3D_OK);
    };
    auto check = [&](UINT first, UINT count) {
        UINT lowest = 0, highest = 0;
        buffer->indexRange(first, count, &lowest, &highest);
        const auto expected = d3dgl::scanIndexRange(indices.data() + first, count, 2);
        EXPECT_EQ(lowest, expected.first) << first << "+" << count;
        EXPECT_EQ(highest, expected.second) << first << "+" << count;
    };
    fill(0);
    struct Range {
        UINT first, count;
    };
    // Asked out of order, repeated, nested and sharing a start.
    const Range ranges[] = {{300, 30}, {0, 6}, {300, 3}, {0, 6}, {2997, 3}, {0, 3000}, {300, 30}, {150, 1}};
    for (const Range& r : ranges) check(r.first, r.count);
    fill(1234);
    for (const Range& r : ranges) check(r.first, r.count);
    // Far more distinct ranges than a buffer keeps, then the first ones again.
    for (int pass = 0; pass < 2; ++pass)
        for (UINT first = 0; first + 3 <= kIndices; first += 1) check(first, 3);
    created->Release();
}

TEST_F(IndexRanges, BindingTheBoundBuffersAgainKeepsOneReference)
{
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(36, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vertices, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr), D3D_OK);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 12), D3D_OK);
        ASSERT_EQ(device->SetIndices(indices), D3D_OK);
    }
    // The same buffer with another stride is a new binding, which the draw check must see.
    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 18), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "3 vertices of 18 bytes > 36";
    ASSERT_EQ(device->SetStreamSource(0, vertices, 0, 12), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, nullptr, 0, 0), D3D_OK);
    ASSERT_EQ(device->SetIndices(nullptr), D3D_OK);
    EXPECT_EQ(vertices->Release(), 0u);
    EXPECT_EQ(indices->Release(), 0u);
}
