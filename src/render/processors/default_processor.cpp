// The plain pass: collection, skybox, lighting states and the sorted sub-mesh draws.
#include "render/processors/default_processor.h"

#include "render/state_cache.h"
#include "scene/camera.h"
#include "scene/colour_pack.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/scene_graph.h"
#include "scene/sub_mesh.h"
#include "scene/vertex_buffer.h"

#include <algorithm>

DefaultProcessor::DefaultProcessor(SceneGraph& scene, int id) : Processor(scene, id) {}

void DefaultProcessor::beginPass()
{
    // The storage stays: every frame collects about as many entries as the last.
    subMeshes_.clear();
    sprites_.clear();
}

void DefaultProcessor::submit(Group& node)
{
    if (!(node.visibility > 0.5f)) return;
    if (node.mesh) {
        for (SubMesh* subMesh : node.mesh->subMeshes) {
            if (!subMesh) continue;
            Material* material = subMesh->material();
            // Decided once here rather than at every comparison of the sort.
            const bool blends = material && material->needsBlending(node.visibility);
            subMeshes_.push_back({subMesh, &node, material, blends, static_cast<std::uint32_t>(subMesh->materialId())});
        }
    }
    if (node.sprite) sprites_.push_back({node.sprite, &node});
}

void DefaultProcessor::endPass() { drawScene(); }

void DefaultProcessor::drawScene()
{
    drawSkybox();
    setLightingStates();
    scene().enableLights();
    sortSubMeshes();
    drawSubMeshes();
    if (!sprites_.empty()) drawSprites();
}

void DefaultProcessor::drawSkybox()
{
    Group* skybox = scene().skybox();
    Camera* camera = scene().activeCamera();
    if (!skybox || !skybox->mesh || !camera) return;
    Mesh& mesh = *skybox->mesh;
    VertexBuffer* vertices = mesh.vertexBuffer();
    if (!vertices) return;
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    cache.setRenderState(D3DRS_ZWRITEENABLE, FALSE);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    // The sky stays centred on the viewer however far the camera travels.
    D3DXMATRIX& world = skybox->worldMatrix();
    const D3DXMATRIX& eye = camera->worldMatrix();
    world._41 = eye._41;
    world._42 = eye._42;
    world._43 = eye._43;
    mesh.setWorld(*skybox);
    mesh.bindBuffers();
    device->SetFVF(vertices->vertexFormat());
    device->SetVertexShader(nullptr);
    for (SubMesh* subMesh : mesh.subMeshes) {
        Material* material = subMesh ? subMesh->material() : nullptr;
        if (!material) continue;
        material->apply(1.0f);
        cache.setRenderState(D3DRS_LIGHTING, FALSE);
        subMesh->draw();
    }
}

void DefaultProcessor::setLightingStates()
{
    StateCache& cache = stateCache();
    const AmbientColour& ambient = scene().ambient;
    const DWORD ambientColour =
        cache.glowPass ? 0 : packArgb(ambient.red, ambient.green, ambient.blue, ambient.alpha);
    cache.setRenderState(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    cache.setRenderState(D3DRS_COLORVERTEX, FALSE);
    cache.setRenderState(D3DRS_AMBIENT, ambientColour);
    cache.setRenderState(D3DRS_SPECULARENABLE, TRUE);
    cache.setRenderState(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    cache.setRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    cache.setRenderState(D3DRS_STENCILENABLE, FALSE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    cache.setRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

void DefaultProcessor::sortSubMeshes()
{
    // A sub-mesh without material counts as opaque; its id (-1) sorts last as unsigned.
    std::sort(subMeshes_.begin(), subMeshes_.end(),
              [](const SubMeshEntry& a, const SubMeshEntry& b) { return a.order() < b.order(); });
}

namespace {

// Sorted by material, consecutive draws come from meshes scattered in memory: asking for the
// next draw's device buffers early hides the wait for them behind the current draw.
void prefetchBuffers(const DefaultProcessor::SubMeshEntry& entry)
{
    Mesh* mesh = entry.subMesh->mesh;
    if (!mesh) return;
    if (VertexBuffer* vertices = mesh->vertexBuffer()) __builtin_prefetch(vertices->deviceBuffer().get());
    if (IndexBuffer* indices = mesh->indexBuffer()) __builtin_prefetch(indices->deviceBuffer().get());
}

} // namespace

void DefaultProcessor::drawSubMeshes()
{
    LastSet last;
    IDirect3DDevice9* device = stateCache().device();
    for (std::size_t i = 0; i < subMeshes_.size(); ++i) {
        const SubMeshEntry& entry = subMeshes_[i];
        if (i + 1 < subMeshes_.size()) prefetchBuffers(subMeshes_[i + 1]);
        if (!entry.material) continue;
        Mesh* mesh = entry.subMesh->mesh;
        VertexBuffer* vertices = mesh ? mesh->vertexBuffer() : nullptr;
        if (!vertices) continue;
        mesh->bindBuffers();
        if (!last.formatSet || vertices->vertexFormat() != last.vertexFormat) {
            device->SetFVF(vertices->vertexFormat());
            device->SetVertexShader(nullptr);
            last.vertexFormat = vertices->vertexFormat();
            last.formatSet = true;
        }
        const float visibility = entry.node->visibility;
        if (entry.material != last.material || visibility != last.visibility) {
            entry.material->apply(visibility);
            last.material = entry.material;
            last.visibility = visibility;
        }
        mesh->setWorld(*entry.node);
        entry.subMesh->draw();
    }
}
