#include "scene/vertex_buffer.h"

#include "platform/shell/shell.h"
#include "render/state_cache.h"
#include "scene/index_buffer.h"

#include <cmath>
#include <cstring>

float extentRadius(const float* positions, std::size_t count, std::size_t stride)
{
    float mx = 0, my = 0, mz = 0;
    for (std::size_t i = 0; i < count; ++i, positions += stride) {
        mx = std::fmax(mx, std::fabs(positions[0]));
        my = std::fmax(my, std::fabs(positions[1]));
        mz = std::fmax(mz, std::fabs(positions[2]));
    }
    return std::sqrt(mx * mx + my * my + mz * mz);
}

namespace {

// The helper library's normalisation, inlined: normals are rebuilt for every vertex upload.
inline D3DXVECTOR3 normalised(float x, float y, float z)
{
    const float length = std::sqrt(x * x + y * y + z * z);
    return length > 0 ? D3DXVECTOR3(x / length, y / length, z / length) : D3DXVECTOR3(0, 0, 0);
}

} // namespace

VertexBuffer::VertexBuffer(SceneGraph& scene, int id) : Base(scene, id) {}

float VertexBuffer::radius() const { return extentRadius(vertices_.data(), vertexCount_, kFloatsPerVertex); }

void VertexBuffer::setVertices(std::vector<float> vertices)
{
    vertexCount_ = static_cast<std::uint32_t>(vertices.size() / kFloatsPerVertex);
    vertices.resize(std::size_t{vertexCount_} * kFloatsPerVertex);
    vertices_ = std::move(vertices);
    vertexTriangleStart_.clear();
    vertexTriangles_.clear();
    triangles_.clear();
}

void VertexBuffer::buildAdjacency(const IndexBuffer& indices)
{
    const std::vector<std::uint16_t>& list = indices.indices();
    triangles_.clear();
    triangles_.reserve(indices.triangleCount());
    std::vector<std::uint32_t> uses(std::size_t{vertexCount_} + 1, 0);
    for (std::uint32_t i = 0; i < indices.triangleCount(); ++i) {
        Triangle triangle;
        triangle.a = list[3 * std::size_t{i}];
        triangle.b = list[3 * std::size_t{i} + 1];
        triangle.c = list[3 * std::size_t{i} + 2];
        if (triangle.a >= vertexCount_ || triangle.b >= vertexCount_ || triangle.c >= vertexCount_) continue;
        triangles_.push_back(triangle);
        ++uses[triangle.a];
        ++uses[triangle.b];
        ++uses[triangle.c];
    }
    // Prefix sums give each vertex its run; a second pass fills the runs in triangle order.
    vertexTriangleStart_.assign(std::size_t{vertexCount_} + 1, 0);
    for (std::uint32_t v = 0; v < vertexCount_; ++v) vertexTriangleStart_[v + 1] = vertexTriangleStart_[v] + uses[v];
    vertexTriangles_.assign(vertexTriangleStart_[vertexCount_], 0);
    std::vector<std::uint32_t> fill(vertexTriangleStart_.begin(), vertexTriangleStart_.end() - 1);
    for (std::uint32_t t = 0; t < triangles_.size(); ++t) {
        vertexTriangles_[fill[triangles_[t].a]++] = t;
        vertexTriangles_[fill[triangles_[t].b]++] = t;
        vertexTriangles_[fill[triangles_[t].c]++] = t;
    }
    accumulatedNormals_.assign(vertexCount_, D3DXVECTOR3(0, 0, 0));
}

void VertexBuffer::computeFaceNormals()
{
    for (Triangle& triangle : triangles_) {
        const float* a = vertex(triangle.a);
        const float* b = vertex(triangle.b);
        const float* c = vertex(triangle.c);
        const float e1x = b[0] - a[0], e1y = b[1] - a[1], e1z = b[2] - a[2];
        const float e2x = c[0] - a[0], e2y = c[1] - a[1], e2z = c[2] - a[2];
        triangle.normal = normalised(e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x);
    }
}

void VertexBuffer::computeVertexNormals()
{
    if (vertexTriangleStart_.size() != std::size_t{vertexCount_} + 1) return;
    for (std::uint32_t v = 0; v < vertexCount_; ++v) {
        float x = 0, y = 0, z = 0;
        for (std::uint32_t k = vertexTriangleStart_[v]; k < vertexTriangleStart_[v + 1]; ++k) {
            const D3DXVECTOR3& face = triangles_[vertexTriangles_[k]].normal;
            x += face.x;
            y += face.y;
            z += face.z;
        }
        const D3DXVECTOR3 normal = normalised(x, y, z);
        accumulatedNormals_[v] = normal;
        float* record = vertex(v);
        record[3] = normal.x;
        record[4] = normal.y;
        record[5] = normal.z;
    }
}

bool VertexBuffer::createDeviceBuffer()
{
    return stateCache().createVertexBuffer(kStride, vertexCount_, kFormat, device_);
}

void VertexBuffer::upload()
{
    computeFaceNormals();
    computeVertexNormals();
    if (!device_) return;
    void* data = nullptr;
    if (FAILED(device_->Lock(0, 0, &data, 0)) || !data) failWithMessage("Error", "Vertex buffer lock failed!", 0);
    std::memcpy(data, vertices_.data(), std::size_t{vertexCount_} * kStride);
    device_->Unlock();
}
