#include "scene_kit.h"

#include <cmath>
#include <stdexcept>

PskNodeRecord nodeRecord(const std::string& name, std::int32_t parent, PskVec3 position, PskQuat rotation, PskVec3 scale,
                         const std::string& properties)
{
    PskNodeRecord record;
    record.name = name;
    record.parent = parent;
    record.transform = {position, rotation, scale};
    record.properties = properties;
    return record;
}

PskQuat aboutAxis(int axis, float radians)
{
    PskQuat q{0, 0, 0, std::cos(radians / 2)};
    q[static_cast<std::size_t>(axis)] = std::sin(radians / 2);
    return q;
}

PskQuat thenRotate(const PskQuat& a, const PskQuat& b)
{
    // Hamilton product b · a: a is applied first.
    return {b[3] * a[0] + b[0] * a[3] + b[1] * a[2] - b[2] * a[1], b[3] * a[1] - b[0] * a[2] + b[1] * a[3] + b[2] * a[0],
            b[3] * a[2] + b[0] * a[1] - b[1] * a[0] + b[2] * a[3], b[3] * a[3] - b[0] * a[0] - b[1] * a[1] - b[2] * a[2]};
}

PskQuat lookAt(const PskVec3& eye, const PskVec3& target)
{
    const float dx = target[0] - eye[0], dy = target[1] - eye[1], dz = target[2] - eye[2];
    const float flat = std::sqrt(dx * dx + dy * dy);
    // Pitch about X first (positive looks down), then the heading about Z.
    const float pitch = std::atan2(-dz, flat);
    const float heading = std::atan2(dx, -dy);
    return thenRotate(aboutAxis(0, pitch), aboutAxis(2, heading));
}

PskMaterial makeMaterial(std::uint32_t argb, float opacity, std::uint8_t blendMode, float selfIllumination,
                         std::uint32_t diffuseMap)
{
    PskMaterial m;
    m.diffuse = PskColour::fromArgb(argb);
    m.ambient = PskColour::fromArgb(argb);
    m.specular = PskColour::fromArgb(0xFFFFFFFFu);
    const auto glow = static_cast<std::uint32_t>(std::fmin(std::fmax(selfIllumination, 0.0f), 1.0f) * 255.0f);
    m.selfIllumination = PskColour::fromArgb(0xFF000000u | glow << 16);
    m.glossiness = 0.4f;
    m.specularLevel = 0.7f;
    m.blendMode = blendMode;
    m.opacity = opacity;
    m.diffuseMap = diffuseMap;
    m.additiveMap = 0xFFFFFFFFu;
    return m;
}

namespace {

std::uint16_t base(const PskVertexBuffer& vertices)
{
    if (vertices.vertices.size() > 65535) throw std::length_error("vertex buffer over 65535 vertices");
    return static_cast<std::uint16_t>(vertices.vertices.size());
}

void triangle(PskIndexBuffer& indices, std::uint16_t a, std::uint16_t b, std::uint16_t c)
{
    indices.indices.insert(indices.indices.end(), {a, b, c});
}

} // namespace

std::uint32_t addBox(PskVertexBuffer& vertices, PskIndexBuffer& indices, PskVec3 half, bool inside)
{
    vertices.attributeFlags = kPskHasNormals | kPskHasTexCoords0;
    const std::size_t before = indices.indices.size();
    for (int face = 0; face < 6; ++face) {
        const int axis = face % 3;
        const float sign = face < 3 ? 1.0f : -1.0f;
        PskVec3 n{}, t1{}, t2{};
        n[axis] = sign;
        t1[(axis + (sign > 0 ? 1 : 2)) % 3] = 1.0f;
        t2[(axis + (sign > 0 ? 2 : 1)) % 3] = 1.0f;
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        const std::uint16_t first = base(vertices);
        for (const auto& c : corners) {
            PskVertex v;
            for (int i = 0; i < 3; ++i) v.position[i] = (n[i] + c[0] * t1[i] + c[1] * t2[i]) * half[i];
            v.normal = inside ? PskVec3{-n[0], -n[1], -n[2]} : n;
            v.texCoords0 = {(c[0] + 1) / 2, (1 - c[1]) / 2};
            vertices.vertices.push_back(v);
        }
        const auto at = [first](int k) { return static_cast<std::uint16_t>(first + k); };
        if (inside) {
            triangle(indices, at(0), at(2), at(1));
            triangle(indices, at(0), at(3), at(2));
        } else {
            triangle(indices, at(0), at(1), at(2));
            triangle(indices, at(0), at(2), at(3));
        }
    }
    return static_cast<std::uint32_t>(indices.indices.size() - before);
}

std::uint32_t addGrid(PskVertexBuffer& vertices, PskIndexBuffer& indices, int cells, float size, float tiles)
{
    if (cells < 1 || (cells + 1) * (cells + 1) > 65535) throw std::invalid_argument("grid cell count out of range");
    vertices.attributeFlags = kPskHasNormals | kPskHasTexCoords0;
    const std::size_t before = indices.indices.size();
    const std::uint16_t first = base(vertices);
    for (int y = 0; y <= cells; ++y) {
        for (int x = 0; x <= cells; ++x) {
            const float u = static_cast<float>(x) / cells, v = static_cast<float>(y) / cells;
            PskVertex vertex;
            vertex.position = {(u - 0.5f) * size, (v - 0.5f) * size, 0.0f};
            vertex.normal = {0, 0, 1};
            vertex.texCoords0 = {u * tiles, v * tiles};
            vertices.vertices.push_back(vertex);
        }
    }
    const auto at = [first, cells](int x, int y) { return static_cast<std::uint16_t>(first + y * (cells + 1) + x); };
    for (int y = 0; y < cells; ++y) {
        for (int x = 0; x < cells; ++x) {
            // Wound to face +Z, the same way as the box's outer faces.
            triangle(indices, at(x, y), at(x + 1, y), at(x + 1, y + 1));
            triangle(indices, at(x, y), at(x + 1, y + 1), at(x, y + 1));
        }
    }
    return static_cast<std::uint32_t>(indices.indices.size() - before);
}

std::uint32_t addCrystal(PskVertexBuffer& vertices, PskIndexBuffer& indices, float radius, float height)
{
    vertices.attributeFlags = kPskHasNormals | kPskHasTexCoords0;
    const std::size_t before = indices.indices.size();
    const PskVec3 ring[4] = {{radius, 0, 0}, {0, radius, 0}, {-radius, 0, 0}, {0, -radius, 0}};
    for (int half = 0; half < 2; ++half) {
        const PskVec3 tip{0, 0, half == 0 ? height / 2 : -height / 2};
        for (int k = 0; k < 4; ++k) {
            PskVec3 a = ring[k], b = ring[(k + 1) % 4];
            if (half == 1) std::swap(a, b);
            // Flat shading: each face has its own three vertices and normal.
            const PskVec3 e1{b[0] - a[0], b[1] - a[1], b[2] - a[2]}, e2{tip[0] - a[0], tip[1] - a[1], tip[2] - a[2]};
            PskVec3 n{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
            const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            for (float& c : n) c /= length;
            const std::uint16_t first = base(vertices);
            const PskVec2 uv[3] = {{0, 1}, {1, 1}, {0.5f, 0}};
            const PskVec3 corners[3] = {a, b, tip};
            for (int i = 0; i < 3; ++i) {
                PskVertex v;
                v.position = corners[i];
                v.normal = n;
                v.texCoords0 = uv[i];
                vertices.vertices.push_back(v);
            }
            triangle(indices, first, static_cast<std::uint16_t>(first + 1), static_cast<std::uint16_t>(first + 2));
        }
    }
    return static_cast<std::uint32_t>(indices.indices.size() - before);
}

void addVertexFrames(PskVertexBuffer& vertices, std::uint32_t frameCount,
                     const std::function<PskVec3(const PskVec3& rest, std::uint32_t frame)>& displace)
{
    if (frameCount < 1) throw std::invalid_argument("a vertex buffer has at least one frame");
    vertices.frameCount = frameCount;
    vertices.laterFramePositions.clear();
    for (std::uint32_t frame = 1; frame < frameCount; ++frame) {
        for (const PskVertex& v : vertices.vertices) {
            const PskVec3 p = displace(v.position, frame);
            vertices.laterFramePositions.insert(vertices.laterFramePositions.end(), p.begin(), p.end());
        }
    }
}
