#include "app/display_device.h"
#include "app/main_window.h"

#include "app_fixture.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/recording/recording_direct3d.h"

namespace {

RecordingDirect3D* nextDirect3D = nullptr;

IDirect3D9* recordingFactory(UINT sdkVersion)
{
    EXPECT_EQ(sdkVersion, 31u);
    IDirect3D9* made = nextDirect3D;
    nextDirect3D = nullptr;
    return made;
}

class DisplayDeviceTest : public AppTest {
protected:
    RecordingDirect3D* direct3d = nullptr;

    void SetUp() override
    {
        AppTest::SetUp();
        direct3d = new RecordingDirect3D();
        // One reference for the context (a fatal error releases it), one the test keeps.
        direct3d->AddRef();
        nextDirect3D = direct3d;
        direct3DFactory = &recordingFactory;
    }
    void TearDown() override
    {
        if (nextDirect3D) nextDirect3D->Release(); // never handed to the context
        nextDirect3D = nullptr;
        AppTest::TearDown();
        direct3d->Release();
    }
};

} // namespace

TEST_F(DisplayDeviceTest, FullScreenAsksFor800x600X8R8G8B8WithD24X8)
{
    appContext.fullScreen = true;
    createMainWindow();
    createDisplayDevice();
    ASSERT_NE(appContext.device, nullptr);
    const D3DPRESENT_PARAMETERS& asked = direct3d->requests().at(0).presentParameters;
    EXPECT_FALSE(asked.Windowed);
    EXPECT_EQ(asked.BackBufferWidth, 800u);
    EXPECT_EQ(asked.BackBufferHeight, 600u);
    EXPECT_EQ(asked.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(asked.BackBufferCount, 1u);
    EXPECT_EQ(asked.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_TRUE(asked.EnableAutoDepthStencil);
    EXPECT_EQ(asked.AutoDepthStencilFormat, D3DFMT_D24X8);
    EXPECT_EQ(asked.PresentationInterval, D3DPRESENT_INTERVAL_DEFAULT);
    EXPECT_EQ(asked.hDeviceWindow, appContext.window);
    EXPECT_EQ(direct3d->requests().at(0).type, D3DDEVTYPE_HAL);
}

TEST_F(DisplayDeviceTest, WindowedTakesTheClientAreaInTheDisplayFormat)
{
    direct3d->setDisplayMode({1024, 768, 60, D3DFMT_A8R8G8B8});
    direct3d->setClientSize(794, 571);
    createMainWindow();
    createDisplayDevice();
    const D3DPRESENT_PARAMETERS& asked = direct3d->requests().at(0).presentParameters;
    EXPECT_TRUE(asked.Windowed);
    EXPECT_EQ(asked.BackBufferWidth, 0u);
    EXPECT_EQ(asked.BackBufferHeight, 0u);
    EXPECT_EQ(asked.BackBufferFormat, D3DFMT_A8R8G8B8);

    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(appContext.device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer), D3D_OK);
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    backBuffer->Release();
    EXPECT_EQ(desc.Width, 794u);
    EXPECT_EQ(desc.Height, 571u);
}

TEST_F(DisplayDeviceTest, VertexProcessingFollowsTheCaps)
{
    D3DCAPS9 caps{};
    caps.VertexShaderVersion = D3DVS_VERSION(1, 1);
    EXPECT_EQ(playerBehaviorFlags(caps), D3DCREATE_HARDWARE_VERTEXPROCESSING);
    caps.VertexShaderVersion = D3DVS_VERSION(0, 0);
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    EXPECT_EQ(playerBehaviorFlags(caps), D3DCREATE_HARDWARE_VERTEXPROCESSING);
    caps.DevCaps = 0;
    EXPECT_EQ(playerBehaviorFlags(caps), D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    // The comparison is unsigned: a pixel-shader style version word is above every vertex one.
    caps.VertexShaderVersion = 0xFFFE00FF;
    EXPECT_EQ(playerBehaviorFlags(caps), D3DCREATE_SOFTWARE_VERTEXPROCESSING);
}

TEST_F(DisplayDeviceTest, RefusedD24X8IsRetriedWithD16)
{
    direct3d->refuseDepthFormat(D3DFMT_D24X8);
    createMainWindow();
    createDisplayDevice();
    ASSERT_NE(appContext.device, nullptr);
    ASSERT_EQ(direct3d->requests().size(), 2u);
    EXPECT_EQ(direct3d->requests()[0].presentParameters.AutoDepthStencilFormat, D3DFMT_D24X8);
    EXPECT_EQ(direct3d->requests()[1].presentParameters.AutoDepthStencilFormat, D3DFMT_D16);
}

TEST_F(DisplayDeviceTest, TwoRefusalsEndWithTheResultCode)
{
    direct3d->failCreateDevice(D3DERR_NOTAVAILABLE);
    createMainWindow();
    EXPECT_EQ(exitCodeOf([] { createDisplayDevice(); }), 5);
    EXPECT_EQ(direct3d->requests().size(), 2u);
    ASSERT_FALSE(fakeShell.boxes.empty());
    EXPECT_EQ(fakeShell.boxes.back().text, "Error creating Device: -2005530518\n");
    EXPECT_EQ(fakeShell.boxes.back().caption, "Demo");
    // The window went with the failure.
    EXPECT_EQ(appContext.window, nullptr);
}

TEST_F(DisplayDeviceTest, NoDirect3DObjectIsFatal)
{
    nextDirect3D->Release();
    nextDirect3D = nullptr;
    EXPECT_EQ(exitCodeOf([] { createDisplayDevice(); }), 5);
    EXPECT_EQ(fakeShell.boxes.back().text, "Error getting Direct3D");
}
