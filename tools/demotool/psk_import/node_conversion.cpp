#include "node_conversion.h"

#include "camera_light_conversion.h"
#include "mesh_conversion.h"

#include <cmath>
#include <cstring>

namespace {

using Section = PskSceneBuilder::Section;

const aiCamera* cameraOf(const aiScene& scene, const aiNode& node)
{
    for (unsigned i = 0; i < scene.mNumCameras; ++i)
        if (scene.mCameras[i]->mName == node.mName)
            return scene.mCameras[i];
    return nullptr;
}

const aiLight* lightOf(const aiScene& scene, const aiNode& node)
{
    for (unsigned i = 0; i < scene.mNumLights; ++i)
        if (scene.mLights[i]->mName == node.mName)
            return scene.mLights[i];
    return nullptr;
}

bool isIdentity(const aiMatrix4x4& m)
{
    return m.IsIdentity();
}

std::vector<PskTransform> toPskSamples(const std::vector<SourceTrs>& samples, float scale)
{
    std::vector<PskTransform> out;
    out.reserve(samples.size());
    for (const SourceTrs& sample : samples)
        out.push_back(toPskTransform(sample, scale));
    return out;
}

void emitPackedMesh(ImportContext& context, const PackedMesh& packed, std::uint32_t attributeFlags,
                    std::uint32_t nodeIndex, const std::string& name)
{
    PskVertexBuffer vertices;
    vertices.attributeFlags = attributeFlags;
    vertices.vertices = packed.vertices;
    PskIndexBuffer indices;
    indices.indices = packed.indices;
    const std::uint32_t vertexIndex = context.builder.newIndex();
    const std::uint32_t indexIndex = context.builder.newIndex();
    context.builder.add(Section::Geometry, 1, vertexIndex, std::move(vertices));
    context.builder.add(Section::Geometry, 1, indexIndex, std::move(indices));
    PskMesh mesh;
    mesh.node = nodeIndex;
    mesh.name = name.substr(0, kMaxNameBytes);
    mesh.vertexBuffer = vertexIndex;
    mesh.indexBuffer = indexIndex;
    mesh.subMeshes = packed.subMeshes;
    context.builder.add(Section::Geometry, 1, context.builder.newIndex(), std::move(mesh));
    ++context.summary.meshes;
}

void convertMeshesOf(ImportContext& context, const aiNode& node, std::uint32_t nodeIndex, const std::string& name)
{
    std::vector<MeshPart> parts;
    std::uint32_t flags = 0;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        if (node.mMeshes[i] >= context.scene.mNumMeshes)
            continue;
        const aiMesh& mesh = *context.scene.mMeshes[node.mMeshes[i]];
        MeshConversionInput input;
        input.scene = &context.scene;
        input.node = &node;
        input.scale = context.options.scale;
        if (mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) {
            const ConvertedMaterial& material = context.material(mesh.mMaterialIndex, input.material);
            input.uvSet0 = material.uvSet0;
            input.uvSet1 = material.uvSet1;
        }
        ConvertedMesh converted = convertMesh(mesh, input, context.notes);
        if (!converted.usable)
            continue;
        flags |= converted.attributeFlags;
        parts.push_back(std::move(converted.part));
    }
    const std::vector<PackedMesh> packed = packMeshParts(parts);
    for (std::size_t m = 0; m < packed.size(); ++m) {
        std::uint32_t carrier = nodeIndex;
        if (m > 0) {
            // A node carries one mesh; the rest hang on children that do not move.
            carrier = context.builder.newIndex();
            const std::string part = context.uniqueNodeName(name + "-part" + std::to_string(m + 1));
            context.builder.add(Section::Nodes, 2, carrier,
                                PskGroup{makeNodeRecord(static_cast<std::int32_t>(nodeIndex), part, PskTransform{})});
            ++context.summary.nodes;
        }
        emitPackedMesh(context, packed[m], flags, carrier, name);
    }
}

void addCamera(ImportContext& context, const aiCamera& camera, std::int32_t parent, const std::string& name,
               const SourceTrs& rest, std::uint32_t index)
{
    const CameraLens lens = convertCameraLens(camera, context.gltf, context.options.scale);
    PskCamera chunk;
    chunk.node = makeNodeRecord(parent, name, toPskTransform(rest, context.options.scale));
    chunk.fieldOfView = lens.fieldOfView;
    chunk.nearDistance = lens.nearDistance;
    chunk.farDistance = lens.farDistance;
    chunk.switches = PskCameraSwitches{};
    context.builder.add(Section::Nodes, 3, index, std::move(chunk));
    ++context.summary.cameras;
    ++context.summary.nodes;
}

} // namespace

void convertNodeTree(ImportContext& context, const aiNode& node, std::int32_t parent)
{
    const std::uint32_t index = context.builder.newIndex();
    const SourceTrs rest = decomposeSource(node.mTransformation);
    const float scale = context.options.scale;
    const aiCamera* camera = cameraOf(context.scene, node);
    if (camera && camera->mOrthographicWidth > 0.0f) {
        context.notes.note("camera " + quotedName(node.mName.C_Str()), "orthographic cameras are not supported; dropped");
        camera = nullptr;
    }
    if (camera) {
        const aiVector3D s = decomposeSource(context.worldAt(&node, std::nullopt)).scale;
        if (std::fabs(s.x - s.y) > 1e-3f * std::fabs(s.x) || std::fabs(s.x - s.z) > 1e-3f * std::fabs(s.x))
            context.notes.note("camera " + quotedName(node.mName.C_Str()), "scaled unevenly; the view may be distorted");
    }
    const aiMatrix4x4 frame = camera ? cameraFrame(*camera, context.kind) : aiMatrix4x4();
    std::string name;
    std::string cameraName;
    if (camera && isIdentity(frame)) {
        name = cameraName = context.uniqueNodeName(node.mName.C_Str());
        addCamera(context, *camera, parent, name, rest, index);
    } else {
        // A camera looking along its own axes inside the node gets a child that holds the turn.
        if (camera)
            cameraName = context.uniqueNodeName(node.mName.C_Str());
        // A light is placed apart under its own name (light_placement.h), so its node yields it.
        const bool yields = camera || lightOf(context.scene, node);
        const std::string own = camera ? cameraName : std::string(node.mName.C_Str());
        name = context.uniqueNodeName(yields ? own + "-node" : own);
        context.builder.add(Section::Nodes, 2, index, PskGroup{makeNodeRecord(parent, name, toPskTransform(rest, scale))});
        ++context.summary.nodes;
        if (camera)
            addCamera(context, *camera, static_cast<std::int32_t>(index), cameraName, decomposeSource(frame),
                      context.builder.newIndex());
    }
    if (camera && cameraName != node.mName.C_Str())
        context.notes.note("camera " + quotedName(node.mName.C_Str()),
                           "renamed " + quotedName(cameraName) + " (names must be unique)");
    addTransformTrack(context, index, toPskSamples(context.localSamples(node), scale));
    if (const aiLight* light = lightOf(context.scene, node))
        context.lights.emplace_back(light, &node);
    convertMeshesOf(context, node, index, name);
    for (unsigned i = 0; i < node.mNumChildren; ++i)
        convertNodeTree(context, *node.mChildren[i], static_cast<std::int32_t>(index));
}
