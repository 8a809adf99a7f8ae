// The tracing device over a recording device: a trace it opens in the middle of a run
// replays on a fresh device to the same state and contents; objects are released in the
// trace only when the program and the device are both done with them.
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_player.h"
#include "platform/d3d9/trace/tracing_device.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using Ref = std::unique_ptr<T, Releaser>;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TraceHeader headerOf(UINT width, UINT height, D3DFORMAT format)
{
    return TraceHeader{width, height, static_cast<std::uint32_t>(format), D3DFMT_D24S8};
}

struct Scene {
    IDirect3DTexture9* texture = nullptr;
    IDirect3DVertexBuffer9* vertices = nullptr;
    IDirect3DIndexBuffer9* indices = nullptr;
};

const float kQuad[20] = {-1, 1, 0, 0, 0, 1, 1, 0, 1, 0, -1, -1, 0, 0, 1, 1, -1, 0, 1, 1};

// The first frame makes and fills everything and sets the states; it keeps only what is bound.
Scene setUpScene(IDirect3DDevice9* device)
{
    Scene scene;
    device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &scene.texture, nullptr);
    D3DLOCKED_RECT locked{};
    scene.texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            static_cast<std::uint8_t*>(locked.pBits)[y * locked.Pitch + x] = static_cast<std::uint8_t>(y * 16 + x + 1);
    scene.texture->UnlockRect(0);
    RECT part{0, 0, 1, 1};
    scene.texture->LockRect(1, &locked, &part, 0);
    std::memset(locked.pBits, 0xAB, 4);
    scene.texture->UnlockRect(1);

    device->CreateVertexBuffer(sizeof kQuad, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_TEX1, D3DPOOL_MANAGED,
                               &scene.vertices, nullptr);
    void* data = nullptr;
    scene.vertices->Lock(0, 0, &data, 0);
    std::memcpy(data, kQuad, sizeof kQuad);
    scene.vertices->Unlock();
    device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &scene.indices, nullptr);
    scene.indices->Lock(0, 0, &data, 0);
    const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    std::memcpy(data, indices, sizeof indices);
    scene.indices->Unlock();

    IDirect3DTexture9* discarded = nullptr;
    device->CreateTexture(8, 8, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &discarded, nullptr);
    discarded->Release();

    D3DMATRIX m{};
    m._11 = 0.5f, m._22 = -0.25f, m._33 = 1.0f, m._44 = 1.0f, m._41 = 0.125f;
    D3DMATERIAL9 material = {{1, 0.5f, 0.25f, 1}, {0.1f, 0.2f, 0.3f, 0.4f}, {1, 1, 1, 1}, {0, 0, 0, 0}, 30.0f};
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 0.5f, 1, 1};
    light.Position = {0, 1, -5};
    light.Range = 100;
    light.Attenuation0 = 1;
    D3DVIEWPORT9 viewport{4, 4, 16, 16, 0.25f, 0.75f};
    RECT scissor{1, 2, 30, 40};
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE, d3dFloatBits(3.5f));
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_ADD);
    device->SetSamplerState(3, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetTransform(D3DTS_VIEW, &m);
    device->SetTransform(D3DTS_WORLDMATRIX(7), &m);
    device->SetMaterial(&material);
    device->SetLight(3, &light);
    device->LightEnable(3, TRUE);
    device->SetViewport(&viewport);
    device->SetScissorRect(&scissor);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device->SetTexture(0, scene.texture);
    device->SetStreamSource(0, scene.vertices, 0, 20);
    device->SetIndices(scene.indices);
    scene.texture->Release();
    scene.vertices->Release();
    scene.indices->Release();
    device->BeginScene();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    return scene;
}

void drawSecondFrame(IDirect3DDevice9* device)
{
    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
}

std::vector<std::uint8_t> levelBytes(IDirect3DBaseTexture9* texture, UINT level)
{
    RecordingSurface* surface = texture ? static_cast<RecordingTexture*>(texture)->level(level) : nullptr;
    if (!surface) return {};
    return {surface->bits(), surface->bits() + static_cast<std::size_t>(surface->pitch()) * surface->desc().Height};
}

TEST(TracingDevice, ATraceOpenedAtALaterFrameReplaysToTheSameStateAndContents)
{
    Ref<RecordingDevice> original(new RecordingDevice(64, 48, D3DFMT_X8R8G8B8));
    std::ostringstream trace;
    {
        TracingDevice tracer(original.get(), headerOf(64, 48, D3DFMT_X8R8G8B8));
        setUpScene(&tracer);
        tracer.openTrace(trace);
        drawSecondFrame(&tracer);
        tracer.closeTrace();
    }
    const std::string text = trace.str();
    EXPECT_EQ(text.find("CreateTexture 8 8"), std::string::npos) << "a texture gone before the frame is left out";

    Ref<RecordingDevice> replayed(new RecordingDevice(64, 48, D3DFMT_X8R8G8B8));
    const TraceReplayResult result = replayTrace(text, replayed.get());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.failedCalls, 0u) << result.firstFailure;
    EXPECT_EQ(replayed->drawCount(), 2u);
    EXPECT_EQ(replayed->presentCount(), 1u);

    for (DWORD s = 0; s < D3DRS_STATE_COUNT; ++s)
        EXPECT_EQ(replayed->renderState(static_cast<D3DRENDERSTATETYPE>(s)),
                  original->renderState(static_cast<D3DRENDERSTATETYPE>(s))) << "render state " << s;
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        for (DWORD t = 0; t < D3DTSS_STATE_COUNT; ++t)
            EXPECT_EQ(replayed->stageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(t)),
                      original->stageState(stage, static_cast<D3DTEXTURESTAGESTATETYPE>(t))) << stage << "/" << t;
    for (DWORD sampler = 0; sampler < RecordingDevice::kSamplers; ++sampler)
        for (DWORD t = 0; t < D3DSAMP_STATE_COUNT; ++t)
            EXPECT_EQ(replayed->samplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(t)),
                      original->samplerState(sampler, static_cast<D3DSAMPLERSTATETYPE>(t))) << sampler << "/" << t;
    for (D3DTRANSFORMSTATETYPE type : {D3DTS_VIEW, D3DTS_PROJECTION, D3DTS_WORLDMATRIX(0), D3DTS_WORLDMATRIX(7)}) {
        const D3DMATRIX a = replayed->transform(type), b = original->transform(type);
        EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "transform " << type;
    }
    EXPECT_EQ(std::memcmp(&replayed->viewport(), &original->viewport(), sizeof(D3DVIEWPORT9)), 0);
    EXPECT_EQ(std::memcmp(&replayed->scissorRect(), &original->scissorRect(), sizeof(RECT)), 0);
    EXPECT_EQ(std::memcmp(&replayed->material(), &original->material(), sizeof(D3DMATERIAL9)), 0);
    ASSERT_NE(replayed->light(3), nullptr);
    EXPECT_EQ(std::memcmp(replayed->light(3), original->light(3), sizeof(D3DLIGHT9)), 0);
    EXPECT_TRUE(replayed->lightEnabled(3));
    EXPECT_EQ(replayed->fvf(), original->fvf());

    // What the draws read: the texture's levels, the vertices and the indices.
    for (UINT level = 0; level < 3; ++level)
        EXPECT_EQ(levelBytes(replayed->texture(0), level), levelBytes(original->texture(0), level)) << level;
    const auto stream = replayed->streamSource(0), source = original->streamSource(0);
    ASSERT_NE(stream.buffer, nullptr);
    EXPECT_EQ(static_cast<RecordingVertexBuffer*>(stream.buffer)->bytes(),
              static_cast<RecordingVertexBuffer*>(source.buffer)->bytes());
    EXPECT_EQ(stream.stride, source.stride);
    ASSERT_NE(replayed->indices(), nullptr);
    EXPECT_EQ(static_cast<RecordingIndexBuffer*>(replayed->indices())->bytes(),
              static_cast<RecordingIndexBuffer*>(original->indices())->bytes());
}

std::size_t countLines(const std::string& text, const std::string& line)
{
    std::size_t n = 0;
    for (const std::string& l : linesOf(text)) n += l == line;
    return n;
}

TEST(TracingDevice, ObjectsAreReleasedInTheTraceOnlyWhenNothingHoldsThem)
{
    Ref<RecordingDevice> recorder(new RecordingDevice(16, 16, D3DFMT_X8R8G8B8));
    std::ostringstream trace;
    TracingDevice tracer(recorder.get(), headerOf(16, 16, D3DFMT_X8R8G8B8));
    tracer.openTrace(trace);

    // Bound when the program lets go: released with the binding.
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(tracer.CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const unsigned textureHandle = tracer.handleOf(texture);
    tracer.SetTexture(0, texture);
    texture->Release();
    const std::string released = "Release @" + std::to_string(textureHandle);
    EXPECT_EQ(countLines(trace.str(), released), 0u);
    IDirect3DBaseTexture9* bound = nullptr;
    tracer.GetTexture(0, &bound);
    EXPECT_EQ(bound, texture) << "the program gets back the wrapper it bound";
    bound->Release();
    tracer.SetTexture(0, nullptr);
    EXPECT_EQ(countLines(trace.str(), released), 1u);

    // A level keeps its texture, and is one of its parts.
    ASSERT_EQ(tracer.CreateTexture(4, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
    IDirect3DSurface9* again = nullptr;
    texture->GetSurfaceLevel(1, &again);
    EXPECT_EQ(again, level);
    again->Release();
    const std::string levelReleased = "Release @" + std::to_string(tracer.handleOf(texture));
    texture->Release();
    EXPECT_EQ(countLines(trace.str(), levelReleased), 0u);
    level->Release();
    EXPECT_EQ(countLines(trace.str(), levelReleased), 1u);

    // The device's own surfaces keep one handle however often they are asked for.
    IDirect3DSurface9* first = nullptr;
    IDirect3DSurface9* second = nullptr;
    tracer.GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &first);
    first->Release();
    tracer.GetRenderTarget(0, &second);
    EXPECT_EQ(first, second);
    second->Release();
    tracer.closeTrace();

    const TraceReplayResult replay = replayTrace(trace.str(), recorder.get());
    EXPECT_TRUE(replay.ok) << replay.error;
}

TEST(TracingDevice, LocksAndObjectsOutliveTheTraceAndTheDevice)
{
    Ref<RecordingDevice> recorder(new RecordingDevice(16, 16, D3DFMT_X8R8G8B8));
    IDirect3DVertexBuffer9* buffer = nullptr;
    std::ostringstream trace;
    {
        TracingDevice tracer(recorder.get(), headerOf(16, 16, D3DFMT_X8R8G8B8));
        tracer.CreateVertexBuffer(8, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr);
        void* data = nullptr;
        ASSERT_EQ(buffer->Lock(4, 4, &data, 0), D3D_OK); // taken before the trace opens
        std::memcpy(data, "abcd", 4);
        tracer.openTrace(trace);
        buffer->Unlock();
        tracer.closeTrace();
    }
    const std::vector<std::string> lines = linesOf(trace.str());
    const std::string handle = lines.size() > 1 ? lines[1].substr(lines[1].rfind('@')) : "?";
    const std::string lock = "VertexBufferLock " + handle + " 4 4 0";
    const auto at = std::find(lines.begin(), lines.end(), lock);
    ASSERT_NE(at, lines.end()) << trace.str();
    EXPECT_EQ(*(at + 1), "VertexBufferUnlock " + handle + " 61626364");
    EXPECT_TRUE(replayTrace(trace.str(), recorder.get()).ok);

    // The tracing device is gone: the buffer still works on the recording device.
    void* data = nullptr;
    EXPECT_EQ(buffer->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(std::memcmp(static_cast<char*>(data) + 4, "abcd", 4), 0);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    buffer->Release();
}

} // namespace
