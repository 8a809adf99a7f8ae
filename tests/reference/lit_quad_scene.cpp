#include "reference/lit_quad_scene.h"

#include "reference/reference_geometry.h"
#include "render/state_cache.h"
#include "scene/camera.h"
#include "scene/index_buffer.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/scene_graph.h"
#include "scene/sub_mesh.h"
#include "scene/texture.h"
#include "scene/vertex_buffer.h"

namespace litquad {

namespace {

// The picture the material names, put into the scene's texture cache as if it had been
// decoded from a file, so the frame needs nothing from the disk.
void provideTexture(SceneGraph& scene, const char* name)
{
    IDirect3DTexture9* texture =
        ref::makeTexture(scene.device(), 4, 4, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
            return kBlocks[(y / 2) * 2 + x / 2];
        });
    scene.stateCache().textureSlot(name) = DeviceRef<IDirect3DTexture9>(texture);
}

// Corners a (−x, −z), b (−x, +z), c (+x, −z), d (+x, +z); both triangles wound so that the
// normals the buffer rebuilds point up, at the camera.
void fillQuad(VertexBuffer& vertices, IndexBuffer& indices)
{
    const float h = kHalf;
    vertices.setVertices({
        -h, 0, -h, 0, 1, 0, 0, 1, 0, 0, // a
        -h, 0, h, 0, 1, 0, 0, 0, 0, 0,  // b
        h, 0, -h, 0, 1, 0, 1, 1, 0, 0,  // c
        h, 0, h, 0, 1, 0, 1, 0, 0, 0,   // d
    });
    indices.setIndices({0, 1, 2, 1, 3, 2});
}

} // namespace

void draw(IDirect3DDevice9* device)
{
    SceneGraph scene(device);
    Group& root = scene.create<Group>(scene.nextId());
    scene.setRoot(&root);

    Camera& camera = scene.create<Camera>(scene.nextId());
    camera.setParentId(root.id());
    camera.transform.position = D3DXVECTOR3(0, kEyeHeight, 0);
    camera.fieldOfView = kFieldOfView;
    camera.nearDistance = kNear;
    camera.farDistance = kFar;

    Light& light = scene.create<Light>(scene.nextId());
    light.setParentId(root.id());
    light.transform.position = D3DXVECTOR3(kLightPosition[0], kLightPosition[1], kLightPosition[2]);
    light.type = D3DLIGHT_POINT;
    light.colour = {kLightColour[0], kLightColour[1], kLightColour[2], kLightColour[3]};
    light.intensity = kLightIntensity;
    light.attenuation0 = kAttenuation[0];
    light.attenuation1 = kAttenuation[1];
    light.attenuation2 = kAttenuation[2];
    light.range = kRange;

    provideTexture(scene, "blocks.png");
    Texture& texture = scene.create<Texture>(scene.nextId());
    texture.name = "blocks.png";
    texture.load(texture.name);

    Material& material = scene.create<Material>(scene.nextId());
    material.blendMode = Material::kAlphaBlend;
    material.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    material.ambient = {kMaterialAmbient[0], kMaterialAmbient[1], kMaterialAmbient[2], 1.0f};
    material.specular = {kSpecularColour[0], kSpecularColour[1], kSpecularColour[2], 1.0f};
    material.specularLevel = kSpecularLevel;
    material.glossiness = kGlossiness;
    material.selfIllumination = kSelfIllumination;
    material.opacity = 1.0f;
    material.setMap(TextureRole::Diffuse, texture.id());

    VertexBuffer& vertices = scene.create<VertexBuffer>(scene.nextId());
    IndexBuffer& indices = scene.create<IndexBuffer>(scene.nextId());
    fillQuad(vertices, indices);

    Group& node = scene.create<Group>(scene.nextId());
    node.setParentId(root.id());
    Mesh& mesh = scene.create<Mesh>(scene.nextId());
    mesh.setVertexBufferId(vertices.id());
    mesh.setIndexBufferId(indices.id());
    mesh.node = &node;
    node.mesh = &mesh;
    SubMesh& range = scene.create<SubMesh>(scene.nextId());
    range.mesh = &mesh;
    range.indexCount = 6;
    range.setMaterialId(material.id());
    mesh.subMeshes.push_back(&range);

    // Links everything (the camera becomes active) and refreshes the tree: view,
    // projection and the device light are set from here.
    scene.prepare();

    device->BeginScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
    device->SetRenderState(D3DRS_AMBIENT, kSceneAmbient);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    mesh.setWorld(node);
    mesh.bindBuffers();
    device->SetFVF(vertices.vertexFormat());
    material.apply(node.visibility);
    range.draw();
    device->EndScene();
    device->Present(nullptr, nullptr, nullptr, nullptr);
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
}

} // namespace litquad
