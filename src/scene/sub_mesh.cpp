#include "scene/sub_mesh.h"

#include "render/state_cache.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/vertex_buffer.h"

#include <algorithm>

SubMesh::SubMesh(SceneGraph& scene, int id) : Base(scene, id) {}

Material* SubMesh::material() { return material_.resolve(scene()); }

bool SubMesh::needsBlending()
{
    Material* m = material();
    if (!m || !mesh || !mesh->node) return false;
    return m->needsBlending(mesh->node->visibility);
}

void SubMesh::draw()
{
    if (!mesh) return;
    VertexBuffer* vertices = mesh->vertexBuffer();
    IndexBuffer* indices = mesh->indexBuffer();
    if (!vertices || !indices) return;
    // A range past the end of the index list would have the device read indices that do not
    // exist: only the triangles inside it are drawn.
    const std::uint64_t available = indices->triangleCount() * std::uint64_t{3};
    if (startIndex >= available) return;
    const std::uint64_t end = std::min<std::uint64_t>(available, std::uint64_t{startIndex} + indexCount);
    const UINT triangles = static_cast<UINT>((end - startIndex) / 3);
    if (triangles == 0) return;
    stateCache().drawIndexed(D3DPT_TRIANGLELIST, 0, 0, vertices->vertexCount(), startIndex, triangles);
}

bool drawsBefore(SubMesh& a, SubMesh& b)
{
    const bool aBlends = a.needsBlending();
    const bool bBlends = b.needsBlending();
    if (aBlends != bBlends) return !aBlends;
    return a.materialId() < b.materialId();
}
