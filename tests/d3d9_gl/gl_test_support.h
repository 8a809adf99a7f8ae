// Shared harness of the OpenGL device tests: a headless device per test (skipped only when EGL
// has no display at all), readback of the current render target through GetRenderTargetData,
// colour comparison with a per-channel tolerance, and a check that no OpenGL error was raised.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/gl/gl_diagnostics.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// A read-back image, pixels 0xAARRGGBB, row 0 at the top.
struct Image {
    UINT width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t rgb(int x, int y) const { return at(x, y) & 0x00FFFFFFu; }
};

// Per-channel comparison of 0x00RRGGBB colours (alpha ignored unless withAlpha).
::testing::AssertionResult colorNear(std::uint32_t actual, std::uint32_t expected, int tolerance,
                                     bool withAlpha = false);

struct DeviceOptions {
    UINT width = 640, height = 480;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    bool autoDepth = true;
    D3DFORMAT depthFormat = D3DFMT_D24S8;
    BOOL windowed = TRUE;
};

class GlDeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the device; called by SetUp with the default options, again by tests that need others.
    void createDevice(const DeviceOptions& options);
    void releaseDevice();

    // The current render target's contents.
    Image readTarget();
    Image readSurface(IDirect3DSurface9* surface);

    IDirect3DTexture9* makeTexture(UINT width, UINT height, D3DFORMAT format, const std::vector<std::uint32_t>& argb,
                                   UINT levels = 1);

    // Draws a 4-vertex triangle strip from user memory inside BeginScene/EndScene.
    template <typename Vertex>
    void drawStrip(const Vertex (&quad)[4])
    {
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
    }

    void setRs(D3DRENDERSTATETYPE state, DWORD value) { ASSERT_EQ(device->SetRenderState(state, value), D3D_OK); }
    void setTss(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
    {
        ASSERT_EQ(device->SetTextureStageState(stage, type, value), D3D_OK);
    }

    // For tests that raise an OpenGL error on purpose.
    void resetErrorBaseline() { errorsAtStart_ = d3dgl::glErrorsSeen(); }

    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;

private:
    std::uint64_t errorsAtStart_ = 0;
};

struct XyzVertex {
    float x, y, z;
};
struct XyzDiffuseVertex {
    float x, y, z;
    D3DCOLOR diffuse;
};
struct XyzTexVertex {
    float x, y, z, u, v;
};
struct XyzNormalVertex {
    float x, y, z, nx, ny, nz;
};
struct XyzNormalDiffuseVertex {
    float x, y, z, nx, ny, nz;
    D3DCOLOR diffuse;
};
struct XyzDiffuseTexVertex {
    float x, y, z;
    D3DCOLOR diffuse;
    float u, v;
};

D3DMATRIX matrixRows(std::initializer_list<float> values);
D3DMATRIX orthoOffCenter(float left, float right, float bottom, float top, float zn, float zf);
D3DMATRIX perspectiveFov(float fovY, float aspect, float zn, float zf);
