// A frame of animation allocates nothing: every kind of controller is evaluated, and the
// scene rendered, while the process-wide operator new counts its calls.
#include "scene_fixture.h"

#include "platform/d3d9/trace/tracing_device.h"

#include "scene/camera_activator_controller.h"
#include "scene/index_buffer.h"
#include "scene/keyframe_float_controller.h"
#include "scene/mesh.h"
#include "scene/multi_vertex_buffer.h"
#include "scene/prs_controller.h"
#include "scene/sample_float_controller.h"
#include "scene/vertex_controller.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The nothrow form too (std::stable_sort's buffer uses it): every allocation of the binary
// must come from malloc, since every delete here goes to free.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The recording device writes a log line per call, which allocates; the camera's two per-frame
// calls are taken here so that what is counted is the scene's own work.
class QuietFrameDevice final : public TracingDevice {
public:
    using TracingDevice::TracingDevice;
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override
    {
        ++swallowed;
        return D3D_OK;
    }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override
    {
        ++swallowed;
        return D3D_OK;
    }
    long swallowed = 0;
};

TEST(SceneFrame, AnimateAndRenderAllocateNothing)
{
    RecordingDevice* device = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    {
        QuietFrameDevice quiet(device);
        SceneGraph scene(&quiet);
        Group& root = scene.create<Group>(scene.nextId());
        Group& child = scene.create<Group>(scene.nextId());
        child.setParentId(root.id());
        Camera& cam = scene.create<Camera>(scene.nextId());
        cam.setParentId(root.id());
        scene.setRoot(&root);

        auto& buffer = scene.create<MultiVertexBuffer>(scene.nextId());
        buffer.setVertices(std::vector<float>(30, 0.0f));
        buffer.addFrame({0, 0, 0, 1, 0, 0, 0, 1, 0});
        buffer.addFrame({0, 0, 1, 1, 0, 1, 0, 1, 1});
        IndexBuffer& indices = scene.create<IndexBuffer>(scene.nextId());
        indices.setIndices({0, 1, 2});
        buffer.buildAdjacency(indices);

        auto prs = std::make_unique<PRSController>(&child);
        prs->samples.resize(3);
        prs->samples[2].position = D3DXVECTOR3(4, 0, 0);
        prs->timing = {true, 100, 0, 100};
        scene.addController(std::move(prs));
        auto sampled = std::make_unique<SampleFloatController>(&root, "VISTRACK");
        sampled->samples = {0, 1};
        sampled->timing = {true, 100, 0, 100};
        scene.addController(std::move(sampled));
        auto keyframes = std::make_unique<KeyframeFloatController>(&child, "VISTRACK", true);
        keyframes->addKey(0, 0);
        keyframes->addKey(50, 1);
        scene.addController(std::move(keyframes));
        auto vertex = std::make_unique<VertexController>(&buffer);
        vertex->timing = {true, 100, 0, 100};
        scene.addController(std::move(vertex));
        auto cameras = std::make_unique<CameraActivatorController>(&cam, true);
        cameras->addTime(10);
        cameras->finish();
        cameras->loopLength = 100;
        scene.addController(std::move(cameras));
        scene.prepare();
        scene.setLoaded(true);

        const long before = allocations.load();
        ASSERT_GT(before, 0) << "the counting operator new is not in use";
        for (float t = 0; t < 400; t += 7.5f) {
            scene.animate(t);
            scene.render();
        }
        EXPECT_EQ(allocations.load() - before, 0);
        // The controllers did run: the last frame (t = 397.5, looped to 97.5) moved both targets.
        EXPECT_GT(child.centre().x, 3.0f);
        EXPECT_GT(buffer.vertex(0)[2], 0.9f);
        EXPECT_EQ(scene.activeCamera(), &cam);
        EXPECT_GT(quiet.swallowed, 0);
    }
    device->Release();
}

} // namespace
