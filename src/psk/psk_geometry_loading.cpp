// Meshes and their vertex and index buffers.
#include "psk/psk_scene_loader.h"
#include "render/state_cache.h"
#include "scene/group.h"
#include "scene/index_buffer.h"
#include "scene/mesh.h"
#include "scene/multi_vertex_buffer.h"
#include "scene/sub_mesh.h"

#include <vector>

void PSKSceneLoader::addMesh(const PskChunkHeader& header, const PskMesh& record)
{
    Mesh& mesh = define<Mesh>(header.objectIndex);
    Group& node = resolve<Group>(record.node);
    mesh.node = &node;
    node.mesh = &mesh;
    StateCache& cache = mesh.stateCache();
    if (node.flagA)
        cache.meshFlagA = true;
    if (node.flagB)
        cache.meshFlagB = true;
    mesh.setVertexBufferId(idForIndex(record.vertexBuffer));
    mesh.setIndexBufferId(idForIndex(record.indexBuffer));
    mesh.subMeshes.reserve(record.subMeshes.size());
    for (const PskSubMesh& range : record.subMeshes) {
        SubMesh& subMesh = scene().create<SubMesh>(scene().nextId());
        subMesh.mesh = &mesh;
        subMesh.startIndex = range.startIndex;
        subMesh.setMaterialId(idForIndex(range.material));
        subMesh.indexCount = range.indexCount;
        mesh.subMeshes.push_back(&subMesh);
    }
}

namespace {

std::vector<float> vertexRecords(const std::vector<PskVertex>& vertices)
{
    std::vector<float> floats;
    floats.reserve(vertices.size() * VertexBuffer::kFloatsPerVertex);
    for (const PskVertex& vertex : vertices) {
        floats.insert(floats.end(), vertex.position.begin(), vertex.position.end());
        floats.insert(floats.end(), vertex.normal.begin(), vertex.normal.end());
        floats.insert(floats.end(), vertex.texCoords0.begin(), vertex.texCoords0.end());
        floats.insert(floats.end(), vertex.texCoords1.begin(), vertex.texCoords1.end());
    }
    return floats;
}

} // namespace

void PSKSceneLoader::addVertexBuffer(const PskChunkHeader& header, const PskVertexBuffer& record)
{
    if (record.frameCount == 1) {
        define<VertexBuffer>(header.objectIndex).setVertices(vertexRecords(record.vertices));
        return;
    }
    MultiVertexBuffer& buffer = define<MultiVertexBuffer>(header.objectIndex);
    buffer.setVertices(vertexRecords(record.vertices));
    const std::size_t vertexCount = record.vertices.size();
    // Frames of no vertices hold nothing: a frame count alone justifies no storage.
    if (vertexCount == 0)
        return;
    std::vector<float> positions;
    positions.reserve(vertexCount * 3);
    for (const PskVertex& vertex : record.vertices)
        positions.insert(positions.end(), vertex.position.begin(), vertex.position.end());
    buffer.addFrame(std::move(positions));
    const std::vector<float>& later = record.laterFramePositions;
    for (std::size_t start = 0; start + vertexCount * 3 <= later.size(); start += vertexCount * 3) {
        const auto first = later.begin() + static_cast<std::ptrdiff_t>(start);
        buffer.addFrame(std::vector<float>(first, first + static_cast<std::ptrdiff_t>(vertexCount * 3)));
    }
}

void PSKSceneLoader::addIndexBuffer(const PskChunkHeader& header, const PskIndexBuffer& record)
{
    define<IndexBuffer>(header.objectIndex).setIndices(record.indices);
}
