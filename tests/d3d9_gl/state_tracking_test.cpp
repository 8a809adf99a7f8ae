// The device's state vector and its OpenGL translation: creation defaults as Direct3D has
// them, values read back as set, state that persists across SetTexture, redundant OpenGL calls
// filtered out, one program per pipeline shape, and OpenGL errors counted by the diagnostics.
#include "gl_test_support.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_device.h"

#include <epoxy/gl.h>

namespace {

d3dgl::GlDevice& glDevice(IDirect3DDevice9* device) { return *static_cast<d3dgl::GlDevice*>(device); }

} // namespace

using StateTracking = GlDeviceTest;

TEST_F(StateTracking, CreationDefaults)
{
    struct RenderDefault {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const RenderDefault renderDefaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},       {D3DRS_FILLMODE, D3DFILL_SOLID},    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_ZWRITEENABLE, TRUE},        {D3DRS_ALPHATESTENABLE, FALSE},     {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},  {D3DRS_CULLMODE, D3DCULL_CCW},      {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRS_ALPHAREF, 0},               {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},   {D3DRS_ALPHABLENDENABLE, FALSE},
        {D3DRS_SPECULARENABLE, FALSE},     {D3DRS_STENCILFUNC, D3DCMP_ALWAYS}, {D3DRS_STENCILMASK, 0xFFFFFFFF},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFF}, {D3DRS_LIGHTING, TRUE},             {D3DRS_AMBIENT, 0},
        {D3DRS_COLORVERTEX, TRUE},         {D3DRS_LOCALVIEWER, TRUE},          {D3DRS_NORMALIZENORMALS, FALSE},
        {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},  {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL}, {D3DRS_POINTSIZE, d3dFloatBits(1.0f)},
        {D3DRS_POINTSIZE_MIN, d3dFloatBits(1.0f)},     {D3DRS_POINTSCALE_A, d3dFloatBits(1.0f)},
        {D3DRS_POINTSIZE_MAX, d3dFloatBits(64.0f)},    {D3DRS_COLORWRITEENABLE, 0xF},
        {D3DRS_BLENDOP, D3DBLENDOP_ADD},   {D3DRS_SCISSORTESTENABLE, FALSE},
    };
    for (const RenderDefault& d : renderDefaults) {
        DWORD value = 0xDEADBEEF;
        ASSERT_EQ(device->GetRenderState(d.state, &value), D3D_OK);
        EXPECT_EQ(value, d.value) << "render state " << d.state;
    }
    for (DWORD stage = 0; stage < 8; ++stage) {
        DWORD colorOp = 0, alphaOp = 0, index = 0, arg1 = 0, flags = 9;
        device->GetTextureStageState(stage, D3DTSS_COLOROP, &colorOp);
        device->GetTextureStageState(stage, D3DTSS_ALPHAOP, &alphaOp);
        device->GetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, &index);
        device->GetTextureStageState(stage, D3DTSS_COLORARG1, &arg1);
        device->GetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, &flags);
        EXPECT_EQ(colorOp, stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE) << stage;
        EXPECT_EQ(alphaOp, stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE) << stage;
        EXPECT_EQ(index, stage);
        EXPECT_EQ(arg1, D3DTA_TEXTURE);
        EXPECT_EQ(flags, D3DTTFF_DISABLE);
        DWORD address = 0, minFilter = 0, mipFilter = 9;
        device->GetSamplerState(stage, D3DSAMP_ADDRESSU, &address);
        device->GetSamplerState(stage, D3DSAMP_MINFILTER, &minFilter);
        device->GetSamplerState(stage, D3DSAMP_MIPFILTER, &mipFilter);
        EXPECT_EQ(address, D3DTADDRESS_WRAP);
        EXPECT_EQ(minFilter, D3DTEXF_POINT);
        EXPECT_EQ(mipFilter, D3DTEXF_NONE);
        IDirect3DBaseTexture9* texture = reinterpret_cast<IDirect3DBaseTexture9*>(1);
        ASSERT_EQ(device->GetTexture(stage, &texture), D3D_OK);
        EXPECT_EQ(texture, nullptr);
    }
    D3DMATERIAL9 material{};
    material.Power = 5;
    ASSERT_EQ(device->GetMaterial(&material), D3D_OK);
    EXPECT_EQ(material.Power, 0.0f);
    D3DMATRIX world{};
    ASSERT_EQ(device->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    BOOL enabled = TRUE;
    D3DLIGHT9 light{};
    EXPECT_EQ(device->GetLightEnable(3, &enabled), D3DERR_INVALIDCALL) << "a light never set has no state";
    EXPECT_EQ(device->GetLight(3, &light), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->LightEnable(3, FALSE), D3D_OK);
    ASSERT_EQ(device->GetLightEnable(3, &enabled), D3D_OK);
    EXPECT_FALSE(enabled);
    ASSERT_EQ(device->GetLight(3, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL) << "LightEnable creates the default record";

    DeviceOptions options;
    options.autoDepth = false;
    createDevice(options);
    DWORD zenable = 7;
    device->GetRenderState(D3DRS_ZENABLE, &zenable);
    EXPECT_EQ(zenable, static_cast<DWORD>(D3DZB_FALSE)) << "no automatic depth buffer, no depth test";
}

TEST_F(StateTracking, ValuesReadBackAsSetAndSurviveSetTexture)
{
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(2, D3DSAMP_MAXMIPLEVEL, 3), D3D_OK);
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0});
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    DWORD value = 0;
    device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DTOP_SELECTARG1));
    device->GetTextureStageState(0, D3DTSS_COLORARG1, &value);
    EXPECT_EQ(value, D3DTA_TFACTOR);
    device->GetSamplerState(2, D3DSAMP_MAXMIPLEVEL, &value);
    EXPECT_EQ(value, 3u);

    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_SPOT;
    light.Range = 12.5f;
    light.Theta = 0.5f;
    ASSERT_EQ(device->SetLight(5, &light), D3D_OK);
    ASSERT_EQ(device->LightEnable(5, TRUE), D3D_OK);
    D3DLIGHT9 back{};
    ASSERT_EQ(device->GetLight(5, &back), D3D_OK);
    EXPECT_EQ(back.Type, D3DLIGHT_SPOT) << "enabling a set light keeps its record";
    EXPECT_EQ(back.Range, 12.5f);
    light.Attenuation1 = -1.0f;
    EXPECT_EQ(device->SetLight(5, &light), D3DERR_INVALIDCALL) << "negative attenuation";
    ASSERT_EQ(device->GetLight(5, &back), D3D_OK);
    EXPECT_EQ(back.Attenuation1, 0.0f) << "the old record stays";
    // Any index is accepted, and more lights than can render may be enabled.
    light.Attenuation1 = 0.0f;
    ASSERT_EQ(device->SetLight(40, &light), D3D_OK);
    for (DWORD index = 0; index < 12; ++index) ASSERT_EQ(device->LightEnable(index, TRUE), D3D_OK);
    BOOL enabled = FALSE;
    ASSERT_EQ(device->GetLightEnable(11, &enabled), D3D_OK);
    EXPECT_TRUE(enabled);

    const D3DVIEWPORT9 tooBig{600, 0, 100, 100, 0, 1};
    EXPECT_EQ(device->SetViewport(&tooBig), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(300), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(8, D3DTSS_COLOROP, 1), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(StateTracking, RepeatedIdenticalDrawsIssueNoStateCalls)
{
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    IDirect3DVertexBuffer9* vb = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(XyzDiffuseVertex), 0, 0, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vb, 0, sizeof(XyzDiffuseVertex)), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    const std::uint64_t after = glDevice(device).pipeline().stateCallsIssued();
    for (int i = 0; i < 10; ++i) {
        // Setting a state to the value it already has changes nothing either.
        setRs(D3DRS_CULLMODE, D3DCULL_CCW);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    }
    EXPECT_EQ(glDevice(device).pipeline().stateCallsIssued(), after);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(glDevice(device).pipeline().stateCallsIssued(), after + 1) << "only glDisable(GL_CULL_FACE)";
    ASSERT_EQ(device->EndScene(), D3D_OK);
    device->SetStreamSource(0, nullptr, 0, 0);
    vb->Release();
}

TEST_F(StateTracking, OneProgramPerPipelineShape)
{
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const XyzDiffuseVertex quad[] = {{-1, -1, 0, 0xFFFFFFFF}, {-1, 1, 0, 0xFFFFFFFF}, {1, -1, 0, 0xFFFFFFFF}, {1, 1, 0, 0xFFFFFFFF}};
    drawStrip(quad);
    const std::size_t programs = glDevice(device).pipeline().programCount();
    // Values that only feed uniforms never make a new program.
    for (int i = 0; i < 20; ++i) {
        setRs(D3DRS_TEXTUREFACTOR, 0xFF000000u | static_cast<DWORD>(i));
        D3DMATERIAL9 material{};
        material.Diffuse.r = static_cast<float>(i) / 20.0f;
        device->SetMaterial(&material);
        D3DMATRIX world = matrixRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.01f * static_cast<float>(i), 0, 0, 1});
        device->SetTransform(D3DTS_WORLD, &world);
        setRs(D3DRS_ALPHABLENDENABLE, i % 2);
        drawStrip(quad);
    }
    EXPECT_EQ(glDevice(device).pipeline().programCount(), programs);
    // A different stage operation is a different shape; going back reuses the first program.
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    drawStrip(quad);
    EXPECT_EQ(glDevice(device).pipeline().programCount(), programs + 1);
    setTss(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    drawStrip(quad);
    EXPECT_EQ(glDevice(device).pipeline().programCount(), programs + 1);
}

TEST_F(StateTracking, OpenGlErrorsAreCounted)
{
    // The device's context is current after any call that reaches OpenGL.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    const std::uint64_t before = d3dgl::glErrorsSeen();
    glBindTexture(GL_TEXTURE_2D, 0x7FFFFFFF);  // not a texture name: GL_INVALID_OPERATION
    d3dgl::pollGlErrors("a deliberate error");
    EXPECT_GT(d3dgl::glErrorsSeen(), before);
    EXPECT_NE(d3dgl::lastGlErrorText().find("deliberate"), std::string::npos) << d3dgl::lastGlErrorText();
    // This test raised the error on purpose: do not let the harness blame it.
    resetErrorBaseline();
}
