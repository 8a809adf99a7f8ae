// One Assimp mesh as a list of triangles in the player's axes and winding, ready for packing.
// Skinned meshes keep the pose their skeleton has at rest (the bones' nodes as the file
// places them), since PSK has no skinning; morph targets are dropped. Both are noted.
#pragma once

#include "import_notes.h"
#include "mesh_packing.h"

#include <assimp/scene.h>

#include <cstdint>

struct MeshConversionInput {
    const aiScene* scene = nullptr;
    const aiNode* node = nullptr; // the node the mesh hangs on
    std::uint32_t material = 0;   // PSK material index
    unsigned uvSet0 = 0;
    unsigned uvSet1 = 1;
    float scale = 1.0f;
};

struct ConvertedMesh {
    MeshPart part;
    std::uint32_t attributeFlags = 0;
    bool usable = false; // false: no triangles (points or lines only), noted
};

ConvertedMesh convertMesh(const aiMesh& mesh, const MeshConversionInput& input, ImportNotes& notes);

// The node's placement in the whole scene when nothing is animated.
aiMatrix4x4 restWorld(const aiNode* node);
