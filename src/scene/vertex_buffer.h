// A mesh's vertices: a resident CPU copy (position, normal, two texture-coordinate pairs per
// vertex), the triangle adjacency that smooth normals are rebuilt from at every upload, and
// the device buffer the copy is written to.
#pragma once

#include "platform/d3d9/device_ref.h"
#include "platform/d3dx/d3dx_math.h"
#include "scene/base.h"

#include <cstdint>
#include <vector>

class IndexBuffer;

class VertexBuffer : public Base {
public:
    static constexpr std::uint32_t kStride = 40;
    static constexpr std::uint32_t kFloatsPerVertex = kStride / 4;
    static constexpr DWORD kFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;

    struct Triangle {
        std::uint32_t a = 0, b = 0, c = 0;
        D3DXVECTOR3 normal;
    };

    VertexBuffer(SceneGraph& scene, int id);

    // The bounding sphere radius about the mesh origin: the length of the per-axis largest
    // magnitudes, so it holds every vertex.
    virtual float radius() const;

    // Replaces the CPU copy: kFloatsPerVertex floats per vertex (a trailing partial record is
    // dropped).
    void setVertices(std::vector<float> vertices);
    std::uint32_t vertexCount() const { return vertexCount_; }
    std::uint32_t stride() const { return kStride; }
    DWORD vertexFormat() const { return kFormat; }
    float* vertex(std::uint32_t index) { return vertices_.data() + std::size_t{index} * kFloatsPerVertex; }
    const float* vertex(std::uint32_t index) const { return vertices_.data() + std::size_t{index} * kFloatsPerVertex; }

    // Triangles and per-vertex triangle lists from the index list. A triangle naming a vertex
    // at or above the vertex count is left out: it cannot shade vertices that do not exist.
    void buildAdjacency(const IndexBuffer& indices);
    std::uint32_t triangleCount() const { return static_cast<std::uint32_t>(triangles_.size()); }
    const std::vector<Triangle>& triangles() const { return triangles_; }

    void computeFaceNormals();
    // The normalised, unweighted sum of the face normals around each vertex; a vertex on no
    // triangle gets (0, 0, 0). Without adjacency the normals are left as they are.
    void computeVertexNormals();

    bool createDeviceBuffer();
    DeviceRef<IDirect3DVertexBuffer9>& deviceBuffer() { return device_; }
    // Normals, then the whole CPU copy into the device buffer. With no device buffer there is
    // nothing to write; a lock that fails ends the program with its message.
    void upload();

private:
    std::vector<Triangle> triangles_;
    // The triangles of vertex v are vertexTriangles_[vertexTriangleStart_[v] ..
    // vertexTriangleStart_[v + 1]), in the order they were added.
    std::vector<std::uint32_t> vertexTriangleStart_;
    std::vector<std::uint32_t> vertexTriangles_;
    std::vector<D3DXVECTOR3> accumulatedNormals_;
    std::uint32_t vertexCount_ = 0;
    DeviceRef<IDirect3DVertexBuffer9> device_;
    std::vector<float> vertices_;
};

// Largest magnitude per axis over xyz triples `stride` floats apart, as a radius.
float extentRadius(const float* positions, std::size_t count, std::size_t stride);
