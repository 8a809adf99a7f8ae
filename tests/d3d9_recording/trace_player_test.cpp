// The trace player: a recording replayed onto a second recording device reproduces the same
// calls and contents; malformed traces stop with a line-numbered message; draws that would
// read outside their buffers never reach the device.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_player.h"
#include "platform/d3d9/trace/trace_render.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

struct DeviceDeleter {
    void operator()(IDirect3DDevice9* device) const { device->Release(); }
};
using DevicePtr = std::unique_ptr<RecordingDevice, DeviceDeleter>;

bool isQuery(const std::string& line)
{
    static const char* const queries[] = {"GetDeviceCaps", "GetRenderState", "GetTextureStageState",
                                          "GetSamplerState", "GetTransform", "GetViewport", "GetScissorRect",
                                          "GetMaterial", "GetLight ", "GetLightEnable", "GetFVF",
                                          "SurfaceGetDesc", "TextureGetLevelDesc", "VertexBufferGetDesc",
                                          "IndexBufferGetDesc"};
    for (const char* q : queries)
        if (line.rfind(q, 0) == 0)
            return true;
    return false;
}

// A frame that touches every kind of call the player knows.
void drawSampleFrame(IDirect3DDevice9* device)
{
    IDirect3DTexture9* texture = nullptr;
    device->CreateTexture(4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 16; ++x)
            static_cast<std::uint8_t*>(locked.pBits)[y * locked.Pitch + x] = static_cast<std::uint8_t>(y * 16 + x);
    texture->UnlockRect(0);
    RECT part{1, 0, 2, 1};
    texture->LockRect(1, &locked, &part, 0);
    std::memset(locked.pBits, 0xAB, 4);
    texture->UnlockRect(1);

    IDirect3DTexture9* target = nullptr;
    device->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr);
    IDirect3DSurface9* targetSurface = nullptr;
    target->GetSurfaceLevel(0, &targetSurface);
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);

    IDirect3DVertexBuffer9* vb = nullptr;
    device->CreateVertexBuffer(4 * 20, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED, &vb, nullptr);
    void* data = nullptr;
    vb->Lock(0, 0, &data, 0);
    const float quad[20] = {-1, 1, 0, 0, 0, 1, 1, 0, 1, 0, -1, -1, 0, 0, 1, 1, -1, 0, 1, 1};
    std::memcpy(data, quad, sizeof quad);
    vb->Unlock();
    IDirect3DIndexBuffer9* ib = nullptr;
    device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr);
    ib->Lock(0, 0, &data, 0);
    const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, indices, sizeof indices);
    ib->Unlock();

    D3DMATRIX m = {};
    m._11 = 0.5f;
    m._22 = -0.25f;
    m._33 = 1.0f;
    m._44 = 1.0f;
    m._31 = 0.125f;
    D3DMATERIAL9 material = {{1, 0.5f, 0.25f, 1}, {0.1f, 0.2f, 0.3f, 0.4f}, {1, 1, 1, 1}, {0, 0, 0, 0}, 30.0f};
    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_SPOT;
    light.Diffuse = {1, 1, 1, 1};
    light.Position = {0, 0, -5};
    light.Direction = {0, 0, 1};
    light.Range = 100;
    light.Attenuation0 = 1;
    light.Theta = 0.3f;
    light.Phi = 0.6f;
    light.Falloff = 1;

    device->SetRenderTarget(0, targetSurface);
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
    D3DRECT rect{2, 2, 10, 10};
    device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetTransform(D3DTS_TEXTURE0, &m);
    device->SetMaterial(&material);
    device->SetLight(1, &light);
    device->LightEnable(1, TRUE);
    D3DVIEWPORT9 vp{4, 4, 16, 16, 0.0f, 1.0f};
    device->SetViewport(&vp);
    RECT scissor{1, 2, 3, 4};
    device->SetScissorRect(&scissor);
    device->SetTexture(0, texture);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetVertexShader(nullptr);
    device->SetStreamSource(0, vb, 0, 20);
    device->SetIndices(ib);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->SetRenderTarget(0, back);
    device->SetTexture(0, target);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, 20);
    device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 4, 2, indices, D3DFMT_INDEX16, quad, 20);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);

    DWORD value;
    device->GetRenderState(D3DRS_ZENABLE, &value);
    device->SetTexture(0, nullptr);
    targetSurface->Release();
    target->Release();
    back->Release();
    texture->Release();
    vb->Release();
    ib->Release();
}

std::string recordSampleTrace(RecordingDevice& device)
{
    drawSampleFrame(&device);
    std::ostringstream out;
    device.writeTrace(out);
    return out.str();
}

TEST(TracePlayer, ReplayOntoARecordingDeviceReproducesTheCalls)
{
    DevicePtr original(new RecordingDevice(64, 48, D3DFMT_A8R8G8B8));
    const std::string trace = recordSampleTrace(*original);

    DevicePtr copy(new RecordingDevice(64, 48, D3DFMT_A8R8G8B8));
    TraceReplayResult result = replayTrace(trace, copy.get());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.presents, 1u);
    EXPECT_EQ(result.failedCalls, 0u) << result.firstFailure;

    std::vector<std::string> expected;
    for (const std::string& line : original->calls())
        if (!isQuery(line))
            expected.push_back(line);
    // The player queries sizes before locking and releases its objects at the end; apart
    // from that the replay must match line for line.
    std::vector<std::string> replayed;
    for (const std::string& line : copy->calls())
        if (!isQuery(line) && replayed.size() < expected.size())
            replayed.push_back(line);
    EXPECT_EQ(replayed, expected);
    EXPECT_EQ(copy->drawCount(), 4u);
    EXPECT_EQ(copy->stageState(0, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT2));
    EXPECT_EQ(copy->transform(D3DTS_TEXTURE0)._31, 0.125f);
    EXPECT_EQ(copy->material().Power, 30.0f);
    ASSERT_NE(copy->light(1), nullptr);
    EXPECT_EQ(copy->light(1)->Theta, 0.3f);
    EXPECT_EQ(copy->backBuffer()->desc().Width, 64u);
}

TEST(TracePlayer, TextureContentsArriveThroughThePitch)
{
    DevicePtr original(new RecordingDevice(16, 16, D3DFMT_A8R8G8B8));
    IDirect3DTexture9* texture = nullptr;
    original->CreateTexture(3, 3, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr);
    D3DLOCKED_RECT locked{};
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            static_cast<std::uint8_t*>(locked.pBits)[y * locked.Pitch + x] = static_cast<std::uint8_t>(10 * y + x);
    texture->UnlockRect(0);
    original->SetTexture(0, texture);
    texture->Release();
    std::ostringstream out;
    original->writeTrace(out);

    DevicePtr copy(new RecordingDevice(16, 16, D3DFMT_A8R8G8B8));
    // Keep the player's texture alive past the replay through the binding it made.
    ASSERT_TRUE(replayTrace(out.str(), copy.get()).ok);
    auto* replayed = dynamic_cast<RecordingTexture*>(copy->texture(0));
    ASSERT_NE(replayed, nullptr);
    EXPECT_EQ(replayed->level(0)->pixel(2, 1), D3DCOLOR_XRGB(12, 12, 12));
    EXPECT_EQ(replayed->level(0)->pixel(0, 2), D3DCOLOR_XRGB(20, 20, 20));
}

TEST(TracePlayer, ReadsTheHeader)
{
    TraceHeader header;
    std::string error;
    ASSERT_TRUE(readTraceHeader("# comment\n\nDevice 640 480 22 75\nPresent\n", header, error)) << error;
    EXPECT_EQ(header.width, 640u);
    EXPECT_EQ(header.backBufferFormat, 22u);
    EXPECT_EQ(header.depthFormat, 75u);
    EXPECT_FALSE(readTraceHeader("", header, error));
    EXPECT_FALSE(readTraceHeader("Device 0 480 22 75\n", header, error));
    EXPECT_FALSE(readTraceHeader("Device 99999999 480 22 75\n", header, error));
    EXPECT_FALSE(readTraceHeader("Present\n", header, error));
    EXPECT_NE(error.find("Device"), std::string::npos);
}

struct BadTrace {
    const char* body;
    const char* messagePart;
};

TEST(TracePlayer, MalformedTracesStopWithALineNumberedMessage)
{
    const BadTrace cases[] = {
        {"SetRenderState 27\n", "line 2: SetRenderState: missing field"},
        {"SetRenderState 27 x1\n", "line 2: SetRenderState: 'x1' is not an unsigned"},
        {"SetRenderState 27 1 9\n", "unexpected extra field"},
        {"SetRenderState 4294967296 1\n", "not an unsigned 32-bit"},
        {"Frobnicate 1\n", "unknown call 'Frobnicate'"},
        {"SetTexture 0 @7\n", "handle @7 was never defined"},
        {"SetTexture 0 7\n", "is not a handle"},
        {"CreateVertexBuffer 16 0 2 1 @3\nSetTexture 0 @3\n", "line 3: SetTexture: handle @3 is a vertex buffer, not a texture"},
        {"CreateVertexBuffer 16 0 2 1 @3\nCreateVertexBuffer 16 0 2 1 @3\n", "already in use"},
        {"CreateVertexBuffer 4 0 2 1 @3\nVertexBufferLock @3 0 0 0\nVertexBufferUnlock @3 abc\n", "odd number"},
        {"CreateVertexBuffer 4 0 2 1 @3\nVertexBufferLock @3 0 0 0\nVertexBufferUnlock @3 zz000000\n", "not a hex digit"},
        {"CreateVertexBuffer 4 0 2 1 @3\nVertexBufferLock @3 0 0 0\nVertexBufferUnlock @3 0000\n", "2 bytes of data for a 4-byte lock"},
        {"CreateTexture 2 2 1 0 21 1 @1\nTextureLockRect @1 0 - 0\nTextureUnlockRect @1 0 00\n", "1 bytes of data for a 8 x 2"},
        {"BeginScene\nDrawPrimitiveUP 4 1 12 00\n", "bytes of vertices"},
        {"Release @0\n", "not an object"},
        {"Release @4\n", "never defined"},
        {"SetVertexShader @2\n", "null shader"},
        {"SetTransform 256 1 2 3\n", "missing field"},
    };
    for (const BadTrace& bad : cases) {
        DevicePtr device(new RecordingDevice(16, 16, D3DFMT_A8R8G8B8));
        const std::string trace = std::string("Device 16 16 21 75\n") + bad.body;
        TraceReplayResult result = replayTrace(trace, device.get());
        EXPECT_FALSE(result.ok) << bad.body;
        EXPECT_NE(result.error.find(bad.messagePart), std::string::npos) << bad.body << " gave: " << result.error;
    }
}

TEST(TracePlayer, DrawsOutsideTheirBuffersAreSkippedNotPassedOn)
{
    DevicePtr device(new RecordingDevice(16, 16, D3DFMT_A8R8G8B8));
    const std::string trace =
        "Device 16 16 21 75\n"
        "CreateVertexBuffer 36 0 2 1 @1\n"      // three XYZ vertices
        "CreateIndexBuffer 6 0 101 1 @2\n"
        "IndexBufferLock @2 0 0 0\n"
        "IndexBufferUnlock @2 000001000300\n"   // indices 0, 1, 3
        "SetFVF 2\n"
        "SetStreamSource 0 @1 0 12\n"
        "SetIndices @2\n"
        "BeginScene\n"
        "DrawPrimitive 4 0 1\n"                 // fits
        "DrawPrimitive 4 1 1\n"                 // needs vertex 3
        "DrawPrimitive 5 0 4000000000\n"        // absurd count
        "DrawIndexedPrimitive 4 0 0 4 0 1\n"    // index 3 beyond the buffer
        "DrawIndexedPrimitive 4 0 0 2 0 1\n"    // index 3 outside the declared range
        "DrawIndexedPrimitive 4 0 0 3 2 1\n"    // reads past the index buffer
        "DrawIndexedPrimitiveUP 4 0 2 1 101 12 000001000200 " + std::string(48, '0') + "\n"
        "SetStreamSource 0 @1 0 12\n"
        "DrawPrimitive 4 0 1\n"
        "EndScene\n";
    TraceReplayResult result = replayTrace(trace, device.get());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(device->drawCount(), 2u);
    EXPECT_EQ(result.failedCalls, 6u);
    EXPECT_NE(result.firstFailure.find("line 11: DrawPrimitive"), std::string::npos) << result.firstFailure;
}

TEST(TracePlayer, FailedCreationsMakeLaterUsesSkipQuietly)
{
    DevicePtr device(new RecordingDevice(16, 16, D3DFMT_A8R8G8B8));
    device->caps().MaxTextureWidth = 64;
    const std::string trace = "Device 16 16 21 75\n"
                              "CreateTexture 128 4 1 0 21 1 @1\n"
                              "SetTexture 0 @1\n"
                              "TextureLockRect @1 0 - 0\n"
                              "TextureUnlockRect @1 0 -\n"
                              "Release @1\n"
                              "SetTexture 0 @1\n";
    TraceReplayResult result = replayTrace(trace, device.get());
    EXPECT_FALSE(result.ok) << "the handle is gone after Release";
    EXPECT_NE(result.error.find("line 7"), std::string::npos) << result.error;
    EXPECT_GE(result.failedCalls, 3u);
}

TEST(TracePlayer, PresentCallbackSeesEachFrameBeforeItIsPresented)
{
    DevicePtr device(new RecordingDevice(8, 8, D3DFMT_X8R8G8B8));
    std::vector<D3DCOLOR> seen;
    TraceReplayOptions options;
    options.beforePresent = [&](IDirect3DDevice9* target, unsigned index) {
        EXPECT_EQ(index, seen.size());
        EXPECT_EQ(static_cast<RecordingDevice*>(target)->presentCount(), index);
        seen.push_back(static_cast<RecordingDevice*>(target)->backBuffer()->pixel(3, 3));
    };
    const std::string trace = "Device 8 8 22 0\n"
                              "Clear 0 0 1 0xff0000ff 1 0\nPresent\n"
                              "Clear 0 0 1 0xff00ff00 1 0\nPresent\n";
    TraceReplayResult result = replayTrace(trace, device.get(), options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(seen, (std::vector<D3DCOLOR>{0xFF0000FF, 0xFF00FF00}));
}

TEST(TracePlayer, LocksLeftOpenAndLiveObjectsAreReleasedAtTheEnd)
{
    DevicePtr device(new RecordingDevice(8, 8, D3DFMT_X8R8G8B8));
    const std::string trace = "Device 8 8 22 0\n"
                              "CreateVertexBuffer 64 0 2 1 @1\n"
                              "VertexBufferLock @1 0 0 0\n"
                              "CreateTexture 8 8 1 0 21 1 @2\n"
                              "TextureLockRect @2 0 - 0\n";
    ASSERT_TRUE(replayTrace(trace, device.get()).ok);
    EXPECT_EQ(device->memoryInUse(), 0u);
    EXPECT_EQ(device->countCalls("Release"), 2u);
    EXPECT_EQ(device->countCalls("VertexBufferUnlock"), 1u);
}

} // namespace

namespace {

TEST(TraceRender, KeepsTheBackBufferOfTheLastPresentOrOfTheEnd)
{
    DevicePtr device(new RecordingDevice(4, 2, D3DFMT_X8R8G8B8));
    TraceRendering presented = renderTrace("Device 4 2 22 0\n"
                                           "Clear 0 0 1 0x00112233 1 0\nPresent\n"
                                           "Clear 0 0 1 0x00445566 1 0\n",
                                           device.get());
    ASSERT_TRUE(presented.error.empty()) << presented.error;
    ASSERT_EQ(presented.image.width, 4u);
    ASSERT_EQ(presented.image.rgba.size(), 4u * 2 * 4);
    // RGBA, alpha forced opaque on an X8 back buffer.
    EXPECT_EQ(presented.image.rgba[0], 0x11);
    EXPECT_EQ(presented.image.rgba[1], 0x22);
    EXPECT_EQ(presented.image.rgba[2], 0x33);
    EXPECT_EQ(presented.image.rgba[3], 0xFF);

    DevicePtr alpha(new RecordingDevice(2, 2, D3DFMT_A8R8G8B8));
    TraceRendering atEnd = renderTrace("Device 2 2 21 0\nClear 0 0 1 0x80445566 1 0\n", alpha.get());
    ASSERT_TRUE(atEnd.error.empty()) << atEnd.error;
    EXPECT_EQ(atEnd.image.rgba[12], 0x44);
    EXPECT_EQ(atEnd.image.rgba[15], 0x80);

    TraceRendering broken = renderTrace("Device 2 2 21 0\nClear 0\n", alpha.get());
    EXPECT_NE(broken.error.find("line 2"), std::string::npos) << broken.error;
}

TEST(TraceRender, PresentParametersFollowTheHeader)
{
    const TraceHeader header{640, 480, D3DFMT_A8R8G8B8, D3DFMT_D24X8};
    const D3DPRESENT_PARAMETERS pp = presentParametersForTrace(header, 320, 200);
    EXPECT_EQ(pp.BackBufferWidth, 320u);
    EXPECT_EQ(pp.BackBufferFormat, D3DFMT_A8R8G8B8);
    EXPECT_TRUE(pp.EnableAutoDepthStencil);
    EXPECT_EQ(pp.AutoDepthStencilFormat, D3DFMT_D24X8);
    EXPECT_TRUE(pp.Windowed);
    const D3DPRESENT_PARAMETERS noDepth = presentParametersForTrace({8, 8, 99, 0}, 8, 8);
    EXPECT_EQ(noDepth.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_FALSE(noDepth.EnableAutoDepthStencil);
}

} // namespace
