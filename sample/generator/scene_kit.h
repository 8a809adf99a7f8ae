// Building blocks for the generator's scene files: node records, rotations, materials and
// meshes made of PSK records. Z is up; a camera or node without rotation looks along −Y.
#pragma once

#include "psk/psk_records.h"

#include <cstdint>
#include <functional>
#include <string>

PskNodeRecord nodeRecord(const std::string& name, std::int32_t parent, PskVec3 position, PskQuat rotation = {0, 0, 0, 1},
                         PskVec3 scale = {1, 1, 1}, const std::string& properties = "");

PskQuat aboutAxis(int axis, float radians);
// The rotation `first` followed by `second`.
PskQuat thenRotate(const PskQuat& first, const PskQuat& second);
// The rotation that turns a camera at `eye` to look at `target` (level, no roll).
PskQuat lookAt(const PskVec3& eye, const PskVec3& target);

// selfIllumination above zero makes the material glow.
PskMaterial makeMaterial(std::uint32_t argb, float opacity, std::uint8_t blendMode, float selfIllumination,
                         std::uint32_t diffuseMap);

// Meshes are appended to the buffers, so several shapes can share one pair; each returns its
// number of indices. Every vertex has a normal and one set of texture coordinates.
std::uint32_t addBox(PskVertexBuffer& vertices, PskIndexBuffer& indices, PskVec3 half, bool inside);
// A flat square grid of `cells` × `cells` quads in the XY plane, centred, texture repeated `tiles` times.
std::uint32_t addGrid(PskVertexBuffer& vertices, PskIndexBuffer& indices, int cells, float size, float tiles);
// Two four-sided pyramids base to base: a crystal `height` tall.
std::uint32_t addCrystal(PskVertexBuffer& vertices, PskIndexBuffer& indices, float radius, float height);

// Extra position frames for a vertex buffer: frame k's positions are `displace` applied to
// frame 0's (k from 1 to frameCount − 1).
void addVertexFrames(PskVertexBuffer& vertices, std::uint32_t frameCount,
                     const std::function<PskVec3(const PskVec3& rest, std::uint32_t frame)>& displace);

// Hands out file object indices in order.
class ObjectIds {
public:
    std::uint32_t operator()() { return next_++; }

private:
    std::uint32_t next_ = 0;
};
