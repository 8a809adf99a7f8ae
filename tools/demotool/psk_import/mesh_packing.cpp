#include "mesh_packing.h"

#include <limits>

namespace {

constexpr std::uint32_t kUnmapped = std::numeric_limits<std::uint32_t>::max();

class Packer {
public:
    explicit Packer(std::size_t maxVertices) : maxVertices_(maxVertices < 3 ? 3 : maxVertices) {}

    void add(const MeshPart& part)
    {
        remap_.assign(part.vertices.size(), kUnmapped);
        remapMesh_.assign(part.vertices.size(), kUnmapped);
        const std::size_t count = part.triangles.size() / 3;
        for (std::size_t t = 0; t < count; ++t) {
            const std::uint32_t* corner = &part.triangles[t * 3];
            if (corner[0] >= part.vertices.size() || corner[1] >= part.vertices.size() ||
                corner[2] >= part.vertices.size())
                continue;
            if (meshes_.empty() || current().vertices.size() + missing(corner) > maxVertices_)
                meshes_.emplace_back();
            openSubMesh(part.material);
            for (int k = 0; k < 3; ++k)
                current().indices.push_back(static_cast<std::uint16_t>(map(part, corner[k])));
            current().subMeshes.back().indexCount += 3;
        }
    }

    std::vector<PackedMesh> take() { return std::move(meshes_); }

private:
    PackedMesh& current() { return meshes_.back(); }
    std::uint32_t meshNumber() const { return static_cast<std::uint32_t>(meshes_.size() - 1); }

    // How many of the triangle's vertices the current mesh does not hold yet.
    std::size_t missing(const std::uint32_t* corner) const
    {
        if (meshes_.empty())
            return 3;
        std::size_t count = 0;
        for (int k = 0; k < 3; ++k) {
            bool seen = remapMesh_[corner[k]] == meshNumber();
            for (int j = 0; j < k && !seen; ++j)
                seen = corner[j] == corner[k];
            count += seen ? 0 : 1;
        }
        return count;
    }

    std::uint32_t map(const MeshPart& part, std::uint32_t source)
    {
        if (remapMesh_[source] != meshNumber()) {
            remapMesh_[source] = meshNumber();
            remap_[source] = static_cast<std::uint32_t>(current().vertices.size());
            current().vertices.push_back(part.vertices[source]);
        }
        return remap_[source];
    }

    // The triangles of one material stay one range while they land in the same mesh.
    void openSubMesh(std::uint32_t material)
    {
        PackedMesh& mesh = current();
        if (!mesh.subMeshes.empty() && mesh.subMeshes.back().material == material &&
            mesh.subMeshes.back().startIndex + mesh.subMeshes.back().indexCount == mesh.indices.size())
            return;
        PskSubMesh subMesh;
        subMesh.startIndex = static_cast<std::uint32_t>(mesh.indices.size());
        subMesh.material = material;
        mesh.subMeshes.push_back(subMesh);
    }

    std::size_t maxVertices_;
    std::vector<PackedMesh> meshes_;
    std::vector<std::uint32_t> remap_;     // source vertex → index in the mesh that holds it
    std::vector<std::uint32_t> remapMesh_; // ... and which mesh that is
};

} // namespace

std::vector<PackedMesh> packMeshParts(std::span<const MeshPart> parts, std::size_t maxVertices)
{
    Packer packer(maxVertices);
    for (const MeshPart& part : parts)
        packer.add(part);
    return packer.take();
}
