// Conformance vector for Direct3D 9's pixel centres: with an orthographic projection that maps
// world (x, y) to screen (x, y), a 4 × 4 texture drawn on a quad whose edges lie half a pixel
// up-left of the grid maps texel to pixel exactly; half a pixel the other way it moves one
// column right.
#include "gl_test_support.h"

using PixelCentreVectors = GlDeviceTest;

TEST_F(PixelCentreVectors, TexelsMapToPixelsUnderTheHalfPixelRule)
{
    std::vector<std::uint32_t> texels(16);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) texels[r * 4 + c] = 0xFF000000u | (64u * c) << 16 | (64u * r) << 8;
    IDirect3DTexture9* texture = makeTexture(4, 4, D3DFMT_A8R8G8B8, texels);
    const D3DMATRIX projection = orthoOffCenter(0, 640, 480, 0, 0, 1);
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);

    struct Case {
        const char* name;
        float left, top;
        int shift;  // pixel column showing texel column 0
    };
    const Case cases[] = {{"edges on -0.5", -0.5f, -0.5f, 0}, {"moved half a pixel right", 0.5f, -0.5f, 1}};
    for (const Case& c : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
        const float l = c.left, t = c.top, r = c.left + 4, b = c.top + 4;
        const XyzTexVertex quad[] = {{l, t, 0.5f, 0, 0}, {r, t, 0.5f, 1, 0}, {l, b, 0.5f, 0, 1}, {r, b, 0.5f, 1, 1}};
        drawStrip(quad);
        const Image image = readTarget();
        for (int j = 0; j <= 4; ++j)
            for (int i = 0; i <= 5; ++i) {
                const int column = i - c.shift;
                const bool covered = column >= 0 && column < 4 && j < 4;
                const std::uint32_t expected = covered ? (64u * column) << 16 | (64u * j) << 8 : 0x0000FFu;
                EXPECT_TRUE(colorNear(image.rgb(i, j), expected, 0)) << c.name << " pixel (" << i << ", " << j << ")";
            }
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}
