// Speed of a whole frame of the player, headless at 800 × 600 on the OpenGL device: the
// Scripter's update (due commands, the layers, the scene's animation, both processors with
// the glow, the device's work). The scene stands in for the whole-frame test scene scaled up:
// a skybox, N meshes on one rotating parent, each with an opaque and a blended textured
// sub-mesh, a point light, three glowing sprites (one glow-excluded) and two cameras. The
// argument is the frame's sub-mesh draws, both passes together (4 per mesh).
// The run with the device's draws skipped (everything up to the OpenGL draw call still
// happens, as in bench_device) gives the system's own CPU microseconds per frame; the full
// run, finished every frame, gives frames per second including the driver and rasteriser.
// bench-libs: script render_processors platform_d3d9_gl platform_d3d9 platform_sound
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/sound/recording_sound_library.h"
#include "platform/sound/sound_library.h"
#include "render/draw_counters.h"
#include "render/processors/standard_processors.h"
#include "scene/camera.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/prs_controller.h"
#include "scene/scene_graph.h"
#include "scene/sprite.h"
#include "scene/sub_mesh.h"
#include "scene/texture.h"
#include "scene/vertex_buffer.h"
#include "script/in_memory_script_source.h"
#include "script/scripter.h"

#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr int kMaterialPairs = 10;
constexpr float kFrameMs = 1000.0f / 60.0f;

class ShownTexture final : public Texture {
public:
    ShownTexture(SceneGraph& scene, int id, IDirect3DTexture9* texture) : Texture(scene, id) { show(texture); }
};

// A cube of side 2 about its origin: 8 vertices, 12 triangles, split in two ranges of 6.
void fillCube(VertexBuffer& vertices, IndexBuffer& indices)
{
    std::vector<float> v;
    for (int i = 0; i < 8; ++i) {
        const float x = i & 1 ? 1.0f : -1.0f, y = i & 2 ? 1.0f : -1.0f, z = i & 4 ? 1.0f : -1.0f;
        v.insert(v.end(), {x, y, z, 0, 0, 0, (x + 1) / 2, (y + 1) / 2, (z + 1) / 2, 0});
    }
    vertices.setVertices(std::move(v));
    indices.setIndices({0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
                        2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5});
}

class FrameScene {
public:
    explicit FrameScene(int meshes) : meshes_(meshes) {}

    bool create()
    {
        setSoundLibrary(&sound_);
        direct3d_ = createHeadlessDirect3D9();
        if (!direct3d_) return false;
        D3DPRESENT_PARAMETERS p{};
        p.BackBufferWidth = 800;
        p.BackBufferHeight = 600;
        p.BackBufferFormat = D3DFMT_X8R8G8B8;
        p.BackBufferCount = 1;
        p.SwapEffect = D3DSWAPEFFECT_DISCARD;
        p.EnableAutoDepthStencil = TRUE;
        p.AutoDepthStencilFormat = D3DFMT_D24S8;
        if (FAILED(direct3d_->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device_)))
            return false;
        makeTextures();
        scripter_ = std::make_unique<Scripter>(device_, 800, 600, [this] { return clockMs_; });
        scripts_.files["demo.psc"] = "wait 100000000\n";
        scripter_->setScriptSource(&scripts_);
        scripter_->loadScript("demo.psc", 0.0f);
        auto scene = std::make_unique<SceneGraph>(device_, &standardProcessors());
        build(*scene);
        scene->setLoaded(true);
        scene->prepare();
        scene->setActiveCameraByName("near");
        SceneGraph* playing = scene.get();
        scripter_->putScene("bench", std::move(scene));
        scripter_->setCurrentScene(playing);
        return true;
    }

    ~FrameScene()
    {
        scripter_.reset();
        for (IDirect3DTexture9* texture : textures_) safeRelease(texture);
        safeRelease(device_);
        safeRelease(direct3d_);
        setSoundLibrary(nullptr);
    }

    void setSubmitDraws(bool submit) { static_cast<d3dgl::GlDevice*>(device_)->setSubmitDraws(submit); }

    void frame()
    {
        clockMs_ += kFrameMs;
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        scripter_->update();
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }

private:
    void makeTextures()
    {
        for (int t = 0; t < 4; ++t) {
            IDirect3DTexture9* texture = nullptr;
            device_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr);
            for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
                D3DLOCKED_RECT locked{};
                D3DSURFACE_DESC desc{};
                texture->GetLevelDesc(level, &desc);
                texture->LockRect(level, &locked, nullptr, 0);
                for (UINT y = 0; y < desc.Height; ++y) {
                    for (UINT x = 0; x < desc.Width; ++x) {
                        const std::uint32_t texel = 0xFF000000u | ((x * 4 + t * 50) & 0xFF) << 16 | ((y * 4) & 0xFF) << 8;
                        std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, &texel, 4);
                    }
                }
                texture->UnlockRect(level);
            }
            textures_.push_back(texture);
        }
    }

    Group& node(SceneGraph& scene, Group* parent, float x, float y, float z)
    {
        Group& made = scene.create<Group>(scene.nextId());
        made.transform.position = D3DXVECTOR3(x, y, z);
        if (parent) made.setParentId(parent->id());
        return made;
    }

    Mesh& cube(SceneGraph& scene, Group& carrier, int opaqueMaterial, int blendedMaterial)
    {
        VertexBuffer& vertices = scene.create<VertexBuffer>(scene.nextId());
        IndexBuffer& indices = scene.create<IndexBuffer>(scene.nextId());
        fillCube(vertices, indices);
        Mesh& mesh = scene.create<Mesh>(scene.nextId());
        mesh.setVertexBufferId(vertices.id());
        mesh.setIndexBufferId(indices.id());
        mesh.node = &carrier;
        carrier.mesh = &mesh;
        for (int range = 0; range < 2; ++range) {
            SubMesh& subMesh = scene.create<SubMesh>(scene.nextId());
            subMesh.mesh = &mesh;
            subMesh.setMaterialId(range == 0 ? opaqueMaterial : blendedMaterial);
            subMesh.startIndex = static_cast<std::uint32_t>(range * 18);
            subMesh.indexCount = 18;
            mesh.subMeshes.push_back(&subMesh);
        }
        return mesh;
    }

    void build(SceneGraph& scene)
    {
        constexpr int kTextureIds = 100000, kMaterialIds = 100100;
        for (int t = 0; t < static_cast<int>(textures_.size()); ++t)
            scene.create<ShownTexture>(kTextureIds + t, textures_[t]);
        for (int m = 0; m < 2 * kMaterialPairs; ++m) {
            Material& material = scene.create<Material>(kMaterialIds + m);
            const float shade = 0.3f + 0.03f * static_cast<float>(m);
            material.diffuse = {shade, 1.0f - shade, 0.5f, 1.0f};
            material.ambient = {0.3f, 0.3f, 0.3f, 1.0f};
            material.specular = {1.0f, 1.0f, 1.0f, 1.0f};
            material.specularLevel = 0.5f;
            material.glossiness = 0.4f;
            material.selfIllumination = m % 4 == 0 ? 0.8f : 0.0f;
            material.opacity = m >= kMaterialPairs ? 0.5f : 1.0f;
            material.setMap(TextureRole::Diffuse, kTextureIds + m % 4);
        }
        Group& root = node(scene, nullptr, 0, 0, 0);
        scene.setRoot(&root);
        scene.ambient = {0.2f, 0.2f, 0.2f, 1.0f};

        Group& spinner = node(scene, &root, 0, -70, 0);
        auto spin = std::make_unique<PRSController>(&spinner);
        spin->samples.resize(3, spinner.transform);
        const D3DXVECTOR3 up(0, 0, 1);
        D3DXQuaternionRotationAxis(&spin->samples[1].rotation, &up, 3.14159f);
        D3DXQuaternionRotationAxis(&spin->samples[2].rotation, &up, 6.28318f);
        spin->timing = SampleTiming{true, 4000, 0, 4000};
        scene.addController(std::move(spin));
        for (int i = 0; i < meshes_; ++i) {
            Group& carrier = node(scene, &spinner, -24.0f + 2.0f * static_cast<float>(i % 25), 0,
                                  -18.0f + 2.0f * static_cast<float>(i / 25));
            carrier.transform.scale = D3DXVECTOR3(0.6f, 0.6f, 0.6f);
            cube(scene, carrier, kMaterialIds + i % kMaterialPairs, kMaterialIds + kMaterialPairs + i % kMaterialPairs);
        }

        Group& sky = node(scene, nullptr, 0, 0, 0);
        sky.transform.scale = D3DXVECTOR3(80, 80, 80);
        cube(scene, sky, kMaterialIds + 1, kMaterialIds + 2);
        scene.setSkybox(&sky);

        for (int s = 0; s < 3; ++s) {
            Group& carrier = node(scene, &root, -10.0f + 10.0f * static_cast<float>(s), -20, 5);
            Sprite& sprite = scene.create<Sprite>(scene.nextId());
            sprite.node = &carrier;
            sprite.setTextureId(kTextureIds + s);
            sprite.size = 64.0f;
            sprite.glowExclusion = s == 2;
            carrier.sprite = &sprite;
        }

        Light& light = scene.create<Light>(scene.nextId());
        light.setParentId(root.id());
        light.transform.position = D3DXVECTOR3(0, -10, 10);
        light.range = 200.0f;
        light.attenuation0 = 1.0f;

        for (const char* name : {"far", "near"}) {
            Camera& camera = scene.create<Camera>(scene.nextId());
            camera.name = name;
            camera.setParentId(root.id());
            camera.nearDistance = 1.0f;
            camera.farDistance = 500.0f;
        }
    }

    RecordingSoundLibrary sound_;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    std::vector<IDirect3DTexture9*> textures_;
    InMemoryScriptSource scripts_;
    std::unique_ptr<Scripter> scripter_;
    float clockMs_ = 0.0f;
    int meshes_;
};

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void runFrames(benchmark::State& state, bool submit)
{
    FrameScene scene(static_cast<int>(state.range(0) / 4));
    if (!scene.create()) {
        state.SkipWithError("no headless OpenGL device (EGL has no display)");
        return;
    }
    scene.setSubmitDraws(submit);
    scene.frame(); // builds the programs before timing
    glFinish();
    const std::uint64_t drawsBefore = drawCounters().draws;
    const double cpuStart = threadCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        scene.frame();
        glFinish();
    }
    const double cpu = threadCpuSeconds() - cpuStart;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    const double frames = static_cast<double>(state.iterations());
    state.counters["cpu_us_per_frame"] = cpu * 1e6 / frames;
    state.counters["fps"] = frames / wall;
    // Sub-mesh draws (skybox included) that reached the device per frame, to show the scale.
    state.counters["draws_per_frame"] = static_cast<double>(drawCounters().draws - drawsBefore) / frames;
}

// The system's own work per frame: script, animation, processors, device; no draw calls.
void BM_FrameWorkWithoutDraws(benchmark::State& state) { runFrames(state, false); }
// Everything, drawn and finished by the driver every frame, glow included.
void BM_FullFramesWithGlow(benchmark::State& state) { runFrames(state, true); }

BENCHMARK(BM_FrameWorkWithoutDraws)->Arg(1000)->Arg(2000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FullFramesWithGlow)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
