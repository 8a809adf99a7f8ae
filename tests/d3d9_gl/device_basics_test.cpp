// Creation, back buffer, Clear and readback of the headless OpenGL device.
#include "gl_test_support.h"

#include <cstdlib>

namespace {

D3DPRESENT_PARAMETERS fullScreenParameters()
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = 800;
    p.BackBufferHeight = 600;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = FALSE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24X8;
    return p;
}

} // namespace

using DeviceCreation = GlDeviceTest;

TEST_F(DeviceCreation, FullScreenParametersGiveAn800x600X8R8G8B8BackBuffer)
{
    releaseDevice();
    D3DPRESENT_PARAMETERS p = fullScreenParameters();
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(back->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 800u);
    EXPECT_EQ(desc.Height, 600u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_NE(desc.Usage & D3DUSAGE_RENDERTARGET, 0u);
    back->Release();
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    ASSERT_EQ(depth->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Format, D3DFMT_D24X8);
    EXPECT_EQ(desc.Width, 800u);
    depth->Release();
}

TEST_F(DeviceCreation, WindowedZeroSizeTakesTheHeadlessClientSizeAndDisplayFormat)
{
    releaseDevice();
    D3DPRESENT_PARAMETERS p = fullScreenParameters();
    p.Windowed = TRUE;
    p.BackBufferWidth = p.BackBufferHeight = 0;
    p.BackBufferFormat = D3DFMT_UNKNOWN;
    ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device), D3D_OK);
    EXPECT_EQ(p.BackBufferWidth, 800u);
    EXPECT_EQ(p.BackBufferHeight, 600u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(direct3d->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
}

TEST_F(DeviceCreation, RefusingD24X8LetsTheCallerRetryWithD16)
{
    releaseDevice();
    setenv("DEMO_GL_REFUSE_D24X8", "1", 1);
    D3DPRESENT_PARAMETERS p = fullScreenParameters();
    const HRESULT first = direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
    EXPECT_TRUE(FAILED(first));
    EXPECT_EQ(device, nullptr);
    p.AutoDepthStencilFormat = D3DFMT_D16;
    const HRESULT second = direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
    unsetenv("DEMO_GL_REFUSE_D24X8");
    ASSERT_EQ(second, D3D_OK);
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->GetDepthStencilSurface(&depth), D3D_OK);
    D3DSURFACE_DESC desc{};
    depth->GetDesc(&desc);
    EXPECT_EQ(desc.Format, D3DFMT_D16);
    depth->Release();
}

TEST_F(DeviceCreation, RejectsParametersItCannotHonour)
{
    releaseDevice();
    D3DPRESENT_PARAMETERS p = fullScreenParameters();
    p.BackBufferFormat = D3DFMT_L8;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &p, &device), D3DERR_INVALIDCALL);
    p = fullScreenParameters();
    p.Windowed = FALSE;
    p.BackBufferWidth = 0;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &p, &device), D3DERR_INVALIDCALL);
    p = fullScreenParameters();
    p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &p, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3d->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, 0x40, &p, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
}

TEST_F(DeviceCreation, CapsLeadCallersToHardwareVertexProcessing)
{
    D3DCAPS9 caps{};
    ASSERT_EQ(direct3d->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_GE(caps.VertexShaderVersion, D3DVS_VERSION(1, 0));
    EXPECT_NE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 8u);
    EXPECT_EQ(caps.MaxTextureBlendStages, 8u);
    EXPECT_EQ(caps.MaxActiveLights, 8u);
    EXPECT_GE(caps.MaxPointSize, 128.0f);
    EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
    EXPECT_NE(caps.VertexProcessingCaps & D3DVTXPCAPS_TEXGEN_SPHEREMAP, 0u);
    D3DCAPS9 deviceCaps{};
    ASSERT_EQ(device->GetDeviceCaps(&deviceCaps), D3D_OK);
    EXPECT_EQ(deviceCaps.MaxPointSize, caps.MaxPointSize);
}

using ClearAndReadback = GlDeviceTest;

TEST_F(ClearAndReadback, ClearToBlackFillsTheWholeBackBuffer)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_XRGB(0, 0, 0), 1.0f, 0), D3D_OK);
    const Image image = readTarget();
    ASSERT_EQ(image.width, 640u);
    for (std::uint32_t pixel : image.pixels) ASSERT_EQ(pixel & 0xFFFFFF, 0u);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(ClearAndReadback, RowZeroIsTheTopRow)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    const D3DRECT top{0, 0, 640, 10};
    ASSERT_EQ(device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(5, 0), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(5, 9), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(5, 10), 0x000000, 0));
    EXPECT_TRUE(colorNear(image.rgb(5, 479), 0x000000, 0));
}

TEST_F(ClearAndReadback, AlphaSurvivesOnA8R8G8B8AndReadsOpaqueOnX8R8G8B8)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x40102030, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(colorNear(readTarget().at(1, 1), 0x40102030, 0, true));
    DeviceOptions options;
    options.format = D3DFMT_X8R8G8B8;
    createDevice(options);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x40102030, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(colorNear(readTarget().at(1, 1), 0xFF102030, 0, true));
}

TEST_F(ClearAndReadback, DepthAndStencilClearsNeedTheirBuffers)
{
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0), D3D_OK);
    DeviceOptions options;
    options.depthFormat = D3DFMT_D24X8;
    createDevice(options);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    options.autoDepth = false;
    createDevice(options);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
}
