// One material's range of a mesh's triangles, and the order the processors draw ranges in:
// opaque before blended, then by material id.
#pragma once

#include "scene/base.h"
#include "scene/object_ref.h"

#include <cstdint>

class Material;
class Mesh;

class SubMesh : public Base {
public:
    SubMesh(SceneGraph& scene, int id);

    Material* material();
    int materialId() const { return material_.id(); }
    void setMaterialId(int id) { material_.setId(id); }
    // The material's needsBlending with the raw visibility of the mesh's node; false without
    // a material (or without a node).
    bool needsBlending();
    // An indexed triangle-list draw of this range through the state cache.
    void draw();

    Mesh* mesh = nullptr;
    std::uint32_t indexCount = 0;
    std::uint32_t startIndex = 0;

private:
    ObjectRef<Material> material_;
};

// Strict weak order for the processors' sort: not-blended first, then ascending material id.
bool drawsBefore(SubMesh& a, SubMesh& b);
