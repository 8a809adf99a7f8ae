// Scenes for the processor tests, on the recording device with the glow targets made: a
// camera at the origin looking along −Y (the scene files' convention), and helpers that hang
// quads with materials and sprites in front of it. The scene is prepared and loaded on the
// first frame or pass.
#pragma once

#include "platform/d3d9/recording/recording_device.h"
#include "render/device_log.h"
#include "render/glow_targets.h"
#include "render/processors/default_processor.h"
#include "render/processors/glow_processor.h"
#include "render/processors/standard_processors.h"
#include "scene/camera.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/scene_graph.h"
#include "scene/sprite.h"
#include "scene/sub_mesh.h"
#include "scene/texture.h"
#include "scene/vertex_buffer.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

// A flat square facing the camera, two triangles per sub-mesh range.
struct QuadMesh {
    Group* node;
    Mesh* mesh;
    std::vector<SubMesh*> subMeshes;
};

class SceneBuilder {
public:
    explicit SceneBuilder(SceneGraph& scene) : scene_(scene) {}

    Group& root();
    Camera& camera(const std::string& name = "camera");
    // Give materials and textures ids from 1000 up: nextId hands out the small ones.
    Material& material(int id, float opacity = 1.0f, float selfIllumination = 0.0f);
    // A square of side 2 × halfSize at (x, distance, z) with one sub-mesh per material id
    // (each two triangles of its own, in the order given).
    QuadMesh quad(std::initializer_list<int> materialIds, float x = 0.0f, float z = 0.0f, float halfSize = 1.0f,
                  float distance = 10.0f);
    Sprite& sprite(int textureId, float size, bool glowExcluded, float x = 0.0f, float z = 0.0f);
    // A texture object showing `deviceTexture` (not owned).
    Texture& texture(int id, IDirect3DTexture9* deviceTexture);

private:
    Group& node(const std::string& name, float x, float y, float z);

    SceneGraph& scene_;
    Group* root_ = nullptr;
};

class ProcessorTest : public ::testing::Test {
protected:
    void SetUp() override { glowTargets().create(device); }
    void TearDown() override
    {
        scene.reset();
        glowTargets().release();
        device->Release();
    }

    // Prepares the scene, then one frame (BeginScene, the scene's render, EndScene); the
    // index of its first logged line is returned.
    std::size_t frame();
    // The plain processor's pass alone (camera activated, collect, endPass); the index of the
    // pass's first logged line is returned.
    std::size_t plainPass();
    DefaultProcessor& plain();
    GlowProcessor& glow();

    RecordingDevice* device = new RecordingDevice(800, 600, D3DFMT_X8R8G8B8);
    std::unique_ptr<SceneGraph> scene = std::make_unique<SceneGraph>(device, &standardProcessors());
    SceneBuilder build{*scene};

private:
    void ready();
};

// The draw calls of the sub-meshes: DrawIndexedPrimitive's start index of each, in order.
std::vector<unsigned> drawnStartIndices(const std::vector<std::string>& calls, std::size_t from);
