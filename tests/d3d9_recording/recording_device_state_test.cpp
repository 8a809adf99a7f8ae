// The recording device keeps Direct3D 9's default state, tracks what is set and logs each call.
#include "platform/d3d9/recording/recording_device.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct DeviceDeleter {
    void operator()(IDirect3DDevice9* device) const { device->Release(); }
};
using DevicePtr = std::unique_ptr<RecordingDevice, DeviceDeleter>;

DevicePtr makeDevice(D3DFORMAT depth = D3DFMT_D24S8)
{
    return DevicePtr(new RecordingDevice(640, 480, D3DFMT_X8R8G8B8, depth));
}

TEST(RecordingDeviceDefaults, RenderStatesStartAtDirect3DDefaults)
{
    auto device = makeDevice();
    struct Expectation {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const Expectation expected[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_FILLMODE, D3DFILL_SOLID},
        {D3DRS_ZWRITEENABLE, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_STENCILMASK, 0xFFFFFFFFu},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
        {D3DRS_LIGHTING, TRUE},
        {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},
        {D3DRS_LOCALVIEWER, TRUE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_POINTSIZE, d3dFloatBits(1.0f)},
        {D3DRS_POINTSCALE_A, d3dFloatBits(1.0f)},
        {D3DRS_POINTSCALE_C, d3dFloatBits(0.0f)},
        {D3DRS_POINTSIZE_MAX, d3dFloatBits(64.0f)},
        {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},
    };
    for (const auto& e : expected)
        EXPECT_EQ(device->renderState(e.state), e.value) << "state " << e.state;
}

TEST(RecordingDeviceDefaults, DepthTestIsOffWithoutAutomaticDepthBuffer)
{
    auto device = makeDevice(D3DFMT_UNKNOWN);
    EXPECT_EQ(device->renderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(device->depthStencil(), nullptr);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST(RecordingDeviceDefaults, StagesSamplersTransformsAndViewport)
{
    auto device = makeDevice();
    EXPECT_EQ(device->stageState(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(device->stageState(0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    for (DWORD stage = 1; stage < 8; ++stage) {
        EXPECT_EQ(device->stageState(stage, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        EXPECT_EQ(device->stageState(stage, D3DTSS_TEXCOORDINDEX), stage);
    }
    EXPECT_EQ(device->stageState(3, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(device->stageState(3, D3DTSS_COLORARG2), D3DTA_CURRENT);
    EXPECT_EQ(device->stageState(3, D3DTSS_RESULTARG), D3DTA_CURRENT);
    EXPECT_EQ(device->samplerState(2, D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_WRAP));
    EXPECT_EQ(device->samplerState(2, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(device->samplerState(2, D3DSAMP_MIPFILTER), static_cast<DWORD>(D3DTEXF_NONE));
    EXPECT_EQ(device->samplerState(2, D3DSAMP_MAXANISOTROPY), 1u);
    const D3DMATRIX world = device->transform(D3DTS_WORLD);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._44, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    const D3DVIEWPORT9& vp = device->viewport();
    EXPECT_EQ(vp.Width, 640u);
    EXPECT_EQ(vp.Height, 480u);
    EXPECT_EQ(vp.MaxZ, 1.0f);
    EXPECT_EQ(device->texture(0), nullptr);
}

TEST(RecordingDeviceState, SetCallsAreKeptAndLoggedOneLineEach)
{
    auto device = makeDevice();
    device->clearCalls();
    EXPECT_EQ(device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE), D3D_OK);
    EXPECT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD), D3D_OK);
    EXPECT_EQ(device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRS_POINTSIZE, d3dFloatBits(2.5f)), D3D_OK);
    EXPECT_EQ(device->renderState(D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(device->stageState(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_ADD));
    ASSERT_EQ(device->calls().size(), 4u);
    EXPECT_EQ(device->calls()[0], "SetRenderState 27 1");
    EXPECT_EQ(device->calls()[1], "SetTextureStageState 1 1 7");
    EXPECT_EQ(device->calls()[2], "SetSamplerState 0 9 0");
    EXPECT_EQ(device->countCalls("SetRenderState"), 2u);
    EXPECT_EQ(device->countCalls("SetRender"), 0u);
}

TEST(RecordingDeviceState, OutOfRangeIndicesAreRejectedNotStored)
{
    auto device = makeDevice();
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(4000), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(99), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetSamplerState(99, D3DSAMP_ADDRESSU, 1), D3DERR_INVALIDCALL);
    D3DMATRIX m = {};
    EXPECT_EQ(device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(7), &m), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(16, nullptr), D3DERR_INVALIDCALL);
    DWORD value = 0;
    EXPECT_EQ(device->GetRenderState(static_cast<D3DRENDERSTATETYPE>(4000), &value), D3DERR_INVALIDCALL);
}

TEST(RecordingDeviceState, TransformFloatsReadBackExactlyFromTheLog)
{
    auto device = makeDevice();
    device->clearCalls();
    D3DMATRIX m = {};
    m._11 = 0.1f;
    m._22 = -3.0e-7f;
    m._43 = 1234567.0f;
    m._44 = 1.0f / 3.0f;
    device->SetTransform(D3DTS_TEXTURE1, &m);
    EXPECT_EQ(device->transform(D3DTS_TEXTURE1)._43, 1234567.0f);
    ASSERT_EQ(device->calls().size(), 1u);
    std::istringstream fields(device->calls()[0]);
    std::string name;
    unsigned type = 0;
    fields >> name >> type;
    EXPECT_EQ(type, 17u);
    float values[16];
    for (float& v : values)
        fields >> v;
    EXPECT_EQ(values[0], 0.1f);
    EXPECT_EQ(values[5], -3.0e-7f);
    EXPECT_EQ(values[15], 1.0f / 3.0f);
}

TEST(RecordingDeviceState, LightEnableOnUnsetIndexCreatesTheDefaultLight)
{
    auto device = makeDevice();
    EXPECT_EQ(device->light(3), nullptr);
    D3DLIGHT9 out{};
    EXPECT_EQ(device->GetLight(3, &out), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->LightEnable(3, TRUE), D3D_OK);
    ASSERT_NE(device->light(3), nullptr);
    EXPECT_EQ(device->light(3)->Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(device->light(3)->Diffuse.r, 1.0f);
    EXPECT_EQ(device->light(3)->Diffuse.a, 0.0f);
    EXPECT_EQ(device->light(3)->Direction.z, 1.0f);
    EXPECT_TRUE(device->lightEnabled(3));

    D3DLIGHT9 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Range = 10.0f;
    spot.Theta = 0.5f;
    EXPECT_EQ(device->SetLight(3, &spot), D3D_OK);
    EXPECT_TRUE(device->lightEnabled(3)) << "SetLight must not change the enable flag";
    EXPECT_EQ(device->light(3)->Type, D3DLIGHT_SPOT);
    spot.Type = static_cast<D3DLIGHTTYPE>(9);
    EXPECT_EQ(device->SetLight(3, &spot), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->light(3)->Type, D3DLIGHT_SPOT);
}

TEST(RecordingDeviceState, SetRenderTargetResetsViewportAndScissorEvenForTheSameSurface)
{
    auto device = makeDevice();
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    EXPECT_EQ(device->viewport().Width, 128u);
    EXPECT_EQ(device->scissorRect().right, 128);

    D3DVIEWPORT9 vp{10, 20, 30, 40, 0.25f, 0.75f};
    ASSERT_EQ(device->SetViewport(&vp), D3D_OK);
    RECT scissor{50, 60, 70, 80};
    device->SetScissorRect(&scissor);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    const D3DVIEWPORT9& reset = device->viewport();
    EXPECT_EQ(reset.X, 0u);
    EXPECT_EQ(reset.Y, 0u);
    EXPECT_EQ(reset.Width, 128u);
    EXPECT_EQ(reset.Height, 128u);
    EXPECT_EQ(reset.MinZ, 0.0f);
    EXPECT_EQ(reset.MaxZ, 1.0f);
    EXPECT_EQ(device->scissorRect().left, 0);
    EXPECT_EQ(device->scissorRect().bottom, 128);

    D3DVIEWPORT9 tooBig{0, 0, 129, 128, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooBig), D3DERR_INVALIDCALL);

    EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(1, surface), D3DERR_INVALIDCALL);
    surface->Release();
    texture->Release();
}

TEST(RecordingDeviceState, DrawsNeedASceneAndUpDrawsUnsetStreamZero)
{
    auto device = makeDevice();
    const float vertices[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(36, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    device->SetStreamSource(0, buffer, 0, 12);
    device->SetFVF(D3DFVF_XYZ);
    EXPECT_EQ(device->streamSource(0).buffer, buffer);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL) << "no indices";
    device->clearCalls();
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 12), D3D_OK);
    EXPECT_EQ(device->streamSource(0).buffer, nullptr);
    ASSERT_EQ(device->calls().size(), 1u);
    // Vertex data goes into the line as hex: 36 bytes, 72 digits after "4 1 12 ".
    EXPECT_EQ(device->calls()[0].rfind("DrawPrimitiveUP 4 1 12 ", 0), 0u);
    EXPECT_EQ(device->calls()[0].size(), std::string("DrawPrimitiveUP 4 1 12 ").size() + 72);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->drawCount(), 2u);
    buffer->Release();
}

TEST(RecordingDeviceState, ClearFillsViewportAndRectanglesOfTheTarget)
{
    auto device = makeDevice();
    RecordingSurface* target = device->backBuffer();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    D3DVIEWPORT9 vp{160, 120, 160, 120, 0.0f, 1.0f};
    device->SetViewport(&vp);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    D3DVIEWPORT9 vp2{320, 240, 320, 240, 0.0f, 1.0f};
    device->SetViewport(&vp2);
    D3DRECT rect{160, 120, 480, 360};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0);
    device->Clear(0, &rect, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0); // count 0 with rects: nothing
    EXPECT_EQ(target->pixel(158, 118), 0xFFFFFFFFu);
    EXPECT_EQ(target->pixel(162, 122), 0xFF0000FFu);
    EXPECT_EQ(target->pixel(318, 238), 0xFF0000FFu);
    EXPECT_EQ(target->pixel(322, 242), 0xFF00FF00u);
    EXPECT_EQ(target->pixel(478, 358), 0xFF00FF00u);
    EXPECT_EQ(target->pixel(482, 362), 0xFFFFFFFFu);
    const auto& calls = device->calls();
    EXPECT_EQ(calls[calls.size() - 2], "Clear 1 1 1 0xff00ff00 1 0 160 120 480 360");
    EXPECT_EQ(calls.back(), "Clear 0 1 1 0xffff0000 1 0");
}

TEST(RecordingDeviceState, StencilClearNeedsAStencilFormat)
{
    auto withStencil = makeDevice(D3DFMT_D24S8);
    EXPECT_EQ(withStencil->Clear(0, nullptr, D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    auto noStencil = makeDevice(D3DFMT_D24X8);
    EXPECT_EQ(noStencil->Clear(0, nullptr, D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(noStencil->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
}

TEST(RecordingDeviceTrace, StreamGetsHeaderThenEveryCall)
{
    auto device = makeDevice();
    std::ostringstream out;
    device->setTraceStream(&out);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->setTraceStream(nullptr);
    device->SetFVF(0);
    EXPECT_EQ(out.str(), "Device 640 480 22 75\nSetFVF 258\nPresent\n");
    EXPECT_EQ(device->presentCount(), 1u);

    std::ostringstream whole;
    device->writeTrace(whole);
    EXPECT_EQ(whole.str().rfind("Device 640 480 22 75\n", 0), 0u);
    EXPECT_NE(whole.str().find("SetFVF 0\n"), std::string::npos);
}

} // namespace
