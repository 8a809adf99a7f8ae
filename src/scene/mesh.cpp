#include "scene/mesh.h"

#include "platform/shell/shell.h"
#include "render/state_cache.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/vertex_buffer.h"

Mesh::Mesh(SceneGraph& scene, int id) : Base(scene, id) {}

VertexBuffer* Mesh::vertexBuffer() { return vertexBuffer_.resolve(scene()); }

IndexBuffer* Mesh::indexBuffer() { return indexBuffer_.resolve(scene()); }

void Mesh::link()
{
    IndexBuffer* indices = indexBuffer();
    VertexBuffer* vertices = vertexBuffer();
    if (!indices || !vertices) return;
    vertices->buildAdjacency(*indices);
    if (!vertices->createDeviceBuffer()) failWithMessage("Error", "Vertex buffer creation failed!", 0);
    boundingRadius = vertices->radius();
    vertices->upload();
    if (!indices->createDeviceBuffer()) failWithMessage("Error", "Index buffer creation failed!", 0);
    indices->upload();
}

float* Mesh::controlField(const std::string&) { failWithMessage("Error", "Mesh: Invalid control field!", 0); }

void Mesh::setWorld(const Group& node) { stateCache().device()->SetTransform(D3DTS_WORLD, &node.worldMatrix()); }

void Mesh::bindBuffers()
{
    VertexBuffer* vertices = vertexBuffer();
    IndexBuffer* indices = indexBuffer();
    if (!vertices || !indices) return;
    IDirect3DDevice9* device = stateCache().device();
    device->SetStreamSource(0, vertices->deviceBuffer().get(), 0, vertices->stride());
    device->SetIndices(indices->deviceBuffer().get());
}
