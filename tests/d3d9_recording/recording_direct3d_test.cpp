// The recording Direct3D object: display mode, caps, recorded requests and refusals.
#include "platform/d3d9/recording/recording_direct3d.h"
#include "platform/d3d9/recording/recording_device.h"

#include <gtest/gtest.h>

namespace {

D3DPRESENT_PARAMETERS windowedParameters()
{
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D24S8;
    return pp;
}

class RecordingDirect3DTest : public ::testing::Test {
protected:
    void TearDown() override { d3d->Release(); }
    RecordingDirect3D* d3d = new RecordingDirect3D;
};

TEST_F(RecordingDirect3DTest, ReportsConfiguredModeAndCaps)
{
    d3d->setDisplayMode({1024, 768, 75, D3DFMT_X8R8G8B8});
    d3d->caps().MaxSimultaneousTextures = 2;
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode), D3D_OK);
    EXPECT_EQ(mode.Width, 1024u);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(d3d->GetAdapterDisplayMode(1, &mode), D3DERR_INVALIDCALL);
    D3DCAPS9 caps{};
    ASSERT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.MaxSimultaneousTextures, 2u);
    EXPECT_TRUE(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_GE(caps.VertexShaderVersion, D3DVS_VERSION(1, 1));
}

TEST_F(RecordingDirect3DTest, CreateDeviceFillsDefaultsAndRecordsTheRequest)
{
    d3d->setClientSize(320, 200);
    d3d->caps().MaxPointSize = 64.0f;
    D3DPRESENT_PARAMETERS pp = windowedParameters();
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp,
                                &device),
              D3D_OK);
    EXPECT_EQ(pp.BackBufferWidth, 320u);
    EXPECT_EQ(pp.BackBufferHeight, 200u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_X8R8G8B8);
    ASSERT_EQ(d3d->requests().size(), 1u);
    EXPECT_EQ(d3d->requests()[0].presentParameters.BackBufferWidth, 0u) << "recorded as passed";
    EXPECT_EQ(d3d->behaviorFlags(), D3DCREATE_HARDWARE_VERTEXPROCESSING);
    EXPECT_EQ(d3d->presentParameters().AutoDepthStencilFormat, D3DFMT_D24S8);
    RecordingDevice* recording = d3d->lastDevice();
    ASSERT_EQ(static_cast<IDirect3DDevice9*>(recording), device);
    EXPECT_EQ(recording->backBuffer()->desc().Width, 320u);
    EXPECT_EQ(recording->depthStencil()->desc().Format, D3DFMT_D24S8);
    EXPECT_EQ(recording->caps().MaxPointSize, 64.0f);
    device->Release();
}

TEST_F(RecordingDirect3DTest, RefusedDepthFormatFailsOnlyThatFormat)
{
    d3d->refuseDepthFormat(D3DFMT_D24X8);
    D3DPRESENT_PARAMETERS pp = windowedParameters();
    pp.AutoDepthStencilFormat = D3DFMT_D24X8;
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    ASSERT_EQ(d3d->requests().size(), 2u);
    EXPECT_EQ(d3d->requests()[0].result, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->requests()[1].presentParameters.AutoDepthStencilFormat, D3DFMT_D16);
    device->Release();
}

TEST_F(RecordingDirect3DTest, RefusedBehaviourAndForcedFailures)
{
    d3d->refuseBehaviorFlags(D3DCREATE_HARDWARE_VERTEXPROCESSING);
    D3DPRESENT_PARAMETERS pp = windowedParameters();
    IDirect3DDevice9* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_NOTAVAILABLE);
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device), D3D_OK);
    device->Release();
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_INVALIDCALL);
    d3d->failCreateDevice(D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_OUTOFVIDEOMEMORY);
    pp = windowedParameters();
    pp.Windowed = FALSE;
    d3d->failCreateDevice(D3D_OK);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &device),
              D3DERR_INVALIDCALL)
        << "full screen needs an explicit size";
}

} // namespace
