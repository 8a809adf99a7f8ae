// Conformance vectors for vertex processing: lighting without lights, the default light and
// the normal transform, lit alpha, specular highlights (directional, point, range cut-off).
#include "gl_test_support.h"

#include <cmath>

namespace {

struct QuadrantCase {
    const char* name;
    float x0, y0;           // lower-left corner of the quadrant in clip space
    DWORD fvf;
    D3DCOLOR color;
    BOOL lighting;
    int readX, readY;
    std::uint32_t expected;
};

} // namespace

using VertexProcessingVectors = GlDeviceTest;

// Lighting on without any light gives black; lighting off passes the vertex colour; a stage 0
// left at MODULATE(TEXTURE, CURRENT) without a texture passes the diffuse colour through.
TEST_F(VertexProcessingVectors, LightingWithoutLights)
{
    const QuadrantCase cases[] = {
        {"lower-left unlit", -1.0f, -1.0f, D3DFVF_XYZ | D3DFVF_DIFFUSE, 0xFFFF0000, FALSE, 160, 360, 0xFF0000},
        {"upper-left lit", -1.0f, 0.0f, D3DFVF_XYZ | D3DFVF_DIFFUSE, 0xFF00FF00, TRUE, 160, 120, 0x000000},
        {"lower-right unlit", 0.0f, -1.0f, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, 0xFF0000FF, FALSE, 480, 360, 0x0000FF},
        {"upper-right lit", 0.0f, 0.0f, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE, 0xFFFFFF00, TRUE, 480, 120, 0x000000},
    };
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    setRs(D3DRS_CLIPPING, FALSE);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    const WORD indices[] = {0, 1, 2, 2, 3, 0};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (const QuadrantCase& c : cases) {
        setRs(D3DRS_LIGHTING, c.lighting);
        ASSERT_EQ(device->SetFVF(c.fvf), D3D_OK);
        const float x0 = c.x0, y0 = c.y0, x1 = c.x0 + 1.0f, y1 = c.y0 + 1.0f;
        if (c.fvf & D3DFVF_NORMAL) {
            const XyzNormalDiffuseVertex quad[] = {{x0, y0, 0.1f, 1, 1, 1, c.color}, {x0, y1, 0.1f, 1, 1, 1, c.color},
                                                   {x1, y1, 0.1f, 1, 1, 1, c.color}, {x1, y0, 0.1f, 1, 1, 1, c.color}};
            ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_INDEX16, quad,
                                                     sizeof quad[0]),
                      D3D_OK);
        } else {
            const XyzDiffuseVertex quad[] = {{x0, y0, 0.1f, c.color}, {x0, y1, 0.1f, c.color}, {x1, y1, 0.1f, c.color},
                                             {x1, y0, 0.1f, c.color}};
            ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_INDEX16, quad,
                                                     sizeof quad[0]),
                      D3D_OK);
        }
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    for (const QuadrantCase& c : cases) EXPECT_TRUE(colorNear(image.rgb(c.readX, c.readY), c.expected, 0)) << c.name;
}

// LightEnable on a light never set creates a white directional light along +z; normals go
// through the inverse transpose of the world matrix.
TEST_F(VertexProcessingVectors, DefaultLightAndNormalTransform)
{
    struct Case {
        const char* name;
        D3DMATRIX world;
        XyzNormalDiffuseVertex quad[4];
    };
    const D3DCOLOR blue = 0xFF0000FF;
    const Case cases[] = {
        {"identity world", matrixRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
         {{-1, -1, 0, 0, 0, -1, blue}, {-1, 1, 0, 0, 0, -1, blue}, {1, -1, 0, 0, 0, -1, blue}, {1, 1, 0, 0, 0, -1, blue}}},
        {"rotated world", matrixRows({0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 10, 10, 10, 1}),
         {{-10, -11, 11, -1, 0, 0, blue}, {-10, -9, 11, -1, 0, 0, blue}, {-10, -11, 9, -1, 0, 0, blue}, {-10, -9, 9, -1, 0, 0, blue}}},
    };
    ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
    D3DLIGHT9 light{};
    ASSERT_EQ(device->GetLight(0, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Direction.z, 1.0f);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE), D3D_OK);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    for (const Case& c : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->SetTransform(D3DTS_WORLD, &c.world), D3D_OK);
        drawStrip(c.quad);
        EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x0000FF, 0)) << c.name;
    }
}

// With DIFFUSEMATERIALSOURCE = MATERIAL the lit alpha is the material's, not the vertex's.
TEST_F(VertexProcessingVectors, LitAlphaComesFromTheMaterial)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    D3DMATERIAL9 material{};
    material.Diffuse = {0, 0, 0, 1};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    setRs(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    setRs(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const XyzDiffuseVertex quad[] = {{-1, -1, 0.1f, 0x80FF0000}, {-1, 1, 0.1f, 0x80FF0000}, {1, -1, 0.1f, 0x80FF0000},
                                     {1, 1, 0.1f, 0x80FF0000}};
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFFFF, 0));
}

namespace {

struct SpecularCase {
    const char* name;
    D3DLIGHTTYPE type;
    float range;
    BOOL localViewer;
    std::uint32_t corner, edge, centre;
};

} // namespace

// A 5 × 5 grid facing the viewer at z = 1, specular only, read on grid vertices.
TEST_F(VertexProcessingVectors, SpecularHighlights)
{
    const SpecularCase cases[] = {
        {"directional, infinite viewer", D3DLIGHT_DIRECTIONAL, 0.0f, FALSE, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {"directional, local viewer", D3DLIGHT_DIRECTIONAL, 0.0f, TRUE, 0x3C3C3C, 0x717171, 0xFFFFFF},
        {"point, infinite viewer", D3DLIGHT_POINT, 100.0f, FALSE, 0x282828, 0x5A5A5A, 0xFFFFFF},
        {"point, local viewer", D3DLIGHT_POINT, 100.0f, TRUE, 0x000000, 0x070707, 0xFFFFFF},
        {"point, range 1.2 cuts the corners", D3DLIGHT_POINT, 1.2f, FALSE, 0x000000, 0x5A5A5A, 0xFFFFFF},
    };
    XyzNormalVertex grid[25];
    for (int j = 0; j < 5; ++j)
        for (int i = 0; i < 5; ++i) grid[j * 5 + i] = {-1.0f + 0.5f * i, -1.0f + 0.5f * j, 1.0f, 0, 0, -1};
    WORD indices[96];
    int n = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            const WORD a = static_cast<WORD>(j * 5 + i), b = static_cast<WORD>(a + 1), c = static_cast<WORD>(a + 5),
                       d = static_cast<WORD>(a + 6);
            for (WORD index : {a, c, b, b, c, d}) indices[n++] = index;
        }
    D3DMATERIAL9 material{};
    material.Specular = {1, 1, 1, 1};
    material.Power = 30.0f;
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    setRs(D3DRS_CLIPPING, FALSE);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);
    setRs(D3DRS_SPECULARENABLE, TRUE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
    for (const SpecularCase& c : cases) {
        D3DLIGHT9 light{};
        light.Type = c.type;
        light.Specular = {1, 1, 1, 0};
        light.Direction = {0, 0, 1};
        light.Range = c.range;
        light.Attenuation2 = 1.0f;
        ASSERT_EQ(device->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
        setRs(D3DRS_LOCALVIEWER, c.localViewer);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 25, 32, indices, D3DFMT_INDEX16, grid,
                                                 sizeof grid[0]),
                  D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
        const Image image = readTarget();
        for (int y : {120, 240, 360})
            for (int x : {160, 320, 480}) {
                const bool centreX = x == 320, centreY = y == 240;
                const std::uint32_t expected = centreX && centreY ? c.centre : (centreX || centreY ? c.edge : c.corner);
                EXPECT_TRUE(colorNear(image.rgb(x, y), expected, 1)) << c.name << " at (" << x << ", " << y << ")";
            }
    }
}
