#include "mesh_conversion.h"

#include "axis_conversion.h"

#include <string>
#include <vector>

namespace {

std::string meshName(const aiMesh& mesh, const aiNode& node)
{
    return mesh.mName.length > 0 ? mesh.mName.C_Str() : node.mName.C_Str();
}

// Positions and normals of a skinned mesh in its skeleton's pose at rest, in the space of
// the node it hangs on. Vertices no bone moves stay where they are.
void poseAtRest(const aiMesh& mesh, const MeshConversionInput& input, std::vector<aiVector3D>& positions,
                std::vector<aiVector3D>& normals)
{
    std::vector<aiVector3D> posed(mesh.mNumVertices, aiVector3D(0.0f, 0.0f, 0.0f));
    std::vector<aiVector3D> posedNormals(mesh.mNumVertices, aiVector3D(0.0f, 0.0f, 0.0f));
    std::vector<float> weights(mesh.mNumVertices, 0.0f);
    const aiMatrix4x4 toMesh = restWorld(input.node).Inverse();
    for (unsigned b = 0; b < mesh.mNumBones; ++b) {
        const aiBone* bone = mesh.mBones[b];
        const aiNode* boneNode = input.scene->mRootNode->FindNode(bone->mName);
        if (!boneNode)
            continue;
        const aiMatrix4x4 skin = toMesh * restWorld(boneNode) * bone->mOffsetMatrix;
        const aiMatrix3x3 skinNormal(skin);
        for (unsigned w = 0; w < bone->mNumWeights; ++w) {
            const aiVertexWeight& weight = bone->mWeights[w];
            if (weight.mVertexId >= mesh.mNumVertices || !(weight.mWeight > 0.0f))
                continue;
            posed[weight.mVertexId] += (skin * positions[weight.mVertexId]) * weight.mWeight;
            if (!normals.empty())
                posedNormals[weight.mVertexId] += (skinNormal * normals[weight.mVertexId]) * weight.mWeight;
            weights[weight.mVertexId] += weight.mWeight;
        }
    }
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        if (!(weights[v] > 0.0f))
            continue;
        positions[v] = posed[v] / weights[v];
        if (!normals.empty())
            normals[v] = posedNormals[v].NormalizeSafe();
    }
}

} // namespace

aiMatrix4x4 restWorld(const aiNode* node)
{
    aiMatrix4x4 world;
    for (; node; node = node->mParent)
        world = node->mTransformation * world;
    return world;
}

ConvertedMesh convertMesh(const aiMesh& mesh, const MeshConversionInput& input, ImportNotes& notes)
{
    const std::string user = "mesh " + quotedName(meshName(mesh, *input.node));
    ConvertedMesh out;
    if (!(mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) || !mesh.mVertices) {
        notes.note(user, "points and lines dropped (the player draws triangles)");
        return out;
    }
    std::vector<aiVector3D> positions(mesh.mVertices, mesh.mVertices + mesh.mNumVertices);
    std::vector<aiVector3D> normals;
    if (mesh.mNormals)
        normals.assign(mesh.mNormals, mesh.mNormals + mesh.mNumVertices);
    if (mesh.mNumBones > 0) {
        poseAtRest(mesh, input, positions, normals);
        notes.note(user, "skinning dropped; the mesh keeps its pose at rest");
    }
    if (mesh.mNumAnimMeshes > 0)
        notes.note(user, "morph targets dropped; the base shape is kept");

    const aiVector3D* uv0 = input.uvSet0 < AI_MAX_NUMBER_OF_TEXTURECOORDS ? mesh.mTextureCoords[input.uvSet0] : nullptr;
    const aiVector3D* uv1 = input.uvSet1 < AI_MAX_NUMBER_OF_TEXTURECOORDS ? mesh.mTextureCoords[input.uvSet1] : nullptr;
    out.attributeFlags = kPskHasNormals | (uv0 ? kPskHasTexCoords0 : 0u) | (uv1 ? kPskHasTexCoords1 : 0u);
    out.part.material = input.material;
    out.part.vertices.resize(mesh.mNumVertices);
    for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
        PskVertex& vertex = out.part.vertices[v];
        vertex.position = toPskPoint(positions[v], input.scale);
        if (!normals.empty())
            vertex.normal = toPskDirection(normals[v]);
        if (uv0)
            vertex.texCoords0 = toPskTexCoord(uv0[v]);
        if (uv1)
            vertex.texCoords1 = toPskTexCoord(uv1[v]);
    }
    bool skipped = false;
    out.part.triangles.reserve(std::size_t{mesh.mNumFaces} * 3);
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
        const aiFace& face = mesh.mFaces[f];
        if (face.mNumIndices != 3) {
            skipped = true;
            continue;
        }
        // The axis mirror turns the winding round; swapping two corners turns it back.
        out.part.triangles.insert(out.part.triangles.end(), {face.mIndices[0], face.mIndices[2], face.mIndices[1]});
    }
    if (skipped)
        notes.note(user, "points and lines dropped (the player draws triangles)");
    out.usable = !out.part.triangles.empty();
    return out;
}
