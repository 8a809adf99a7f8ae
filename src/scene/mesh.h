// A node's indexed geometry as far as the scene graph needs it: the vertex and index buffers
// it names, their device buffers made when the scene is prepared, and the bounding radius
// taken from the vertex buffer. Meshes have no control fields.
#pragma once

#include "scene/base.h"
#include "scene/object_ref.h"
#include "scene/preparable.h"

#include <vector>

class Group;
class IndexBuffer;
class SubMesh;
class VertexBuffer;

class Mesh : public Preparable, public Base {
public:
    Mesh(SceneGraph& scene, int id);

    // Adjacency, the device vertex buffer, the radius, the vertex upload, then the device
    // index buffer and its upload; a buffer the device refuses ends the program with its
    // message. A mesh that names a missing buffer has nothing to draw and stays unlinked.
    void link() override;
    void refresh(bool) override {}
    // Every name ends the program with its message.
    float* controlField(const std::string& name) override;

    // The node's world matrix as the device's world transform.
    void setWorld(const Group& node);
    // Stream 0 with the vertex stride, and the index source.
    void bindBuffers();

    VertexBuffer* vertexBuffer();
    IndexBuffer* indexBuffer();
    void setVertexBufferId(int id) { vertexBuffer_.setId(id); }
    void setIndexBufferId(int id) { indexBuffer_.setId(id); }

    float boundingRadius = 0.0f;
    Group* node = nullptr;
    // In file order; the scene owns them.
    std::vector<SubMesh*> subMeshes;

private:
    ObjectRef<VertexBuffer> vertexBuffer_;
    ObjectRef<IndexBuffer> indexBuffer_;
};
