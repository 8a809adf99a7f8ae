// The chunks of a PSK scene file as plain values: what the chunk reader produces and the writer
// consumes. Fields hold what the file says after the format's own conversions (colours as
// floats, indices cut to 16 bits, visibility clamped, the near-plane fix); time values stay as
// stored, since their scale and offset belong to the scene that loads the file. No scene types.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// ARGB as stored, and its channels as floats (channel × the single-precision 1/255).
struct PskColour {
    std::uint32_t argb = 0;
    float red = 0.0f;
    float green = 0.0f;
    float blue = 0.0f;
    float alpha = 0.0f;

    static PskColour fromArgb(std::uint32_t argb);
    bool operator==(const PskColour&) const = default;
};

using PskVec2 = std::array<float, 2>;
using PskVec3 = std::array<float, 3>;
using PskQuat = std::array<float, 4>; // x, y, z, w

struct PskTransform {
    PskVec3 position{};
    PskQuat rotation{0.0f, 0.0f, 0.0f, 1.0f};
    PskVec3 scale{1.0f, 1.0f, 1.0f};
    bool operator==(const PskTransform&) const = default;
};

// The head of group, camera and light payloads.
struct PskNodeRecord {
    std::int32_t parent = -1; // file object index, −1 for a top-level node
    std::string name;
    PskTransform transform;
    std::string properties;
    bool flagA = false;
    bool flagB = false;
    std::optional<float> visibility; // only in chunk versions that carry it; clamped to [0, 1]
    bool operator==(const PskNodeRecord&) const = default;
};

struct PskAmbient {
    PskColour colour;
    bool operator==(const PskAmbient&) const = default;
};

struct PskGroup {
    PskNodeRecord node;
    bool operator==(const PskGroup&) const = default;
};

struct PskSubMesh {
    std::uint32_t startIndex = 0;
    std::uint32_t material = 0; // file object index
    std::uint32_t unused = 0;
    std::uint32_t indexCount = 0;
    std::uint8_t skipped = 0;
    bool operator==(const PskSubMesh&) const = default;
};

struct PskMesh {
    std::uint32_t node = 0;
    std::string name;
    std::uint32_t vertexBuffer = 0;
    std::uint32_t indexBuffer = 0;
    std::vector<PskSubMesh> subMeshes;
    bool operator==(const PskMesh&) const = default;
};

// Present from chunk version 2 on. The two time values are stored only when times is not empty.
struct PskCameraSwitches {
    std::vector<std::uint32_t> activationTimes;
    std::uint32_t unusedTime = 0;
    std::uint32_t loopLength = 0;
    bool operator==(const PskCameraSwitches&) const = default;
};

struct PskCamera {
    PskNodeRecord node;
    float fieldOfView = 0.0f; // vertical, radians
    float nearDistance = 0.0f; // below 0.00001 it becomes far × 0.00001
    float farDistance = 0.0f;
    std::optional<PskCameraSwitches> switches;
    bool operator==(const PskCamera&) const = default;
};

struct PskLight {
    PskNodeRecord node;
    std::uint8_t lightType = 1; // 1 point, 2 spot, 3 directional
    PskColour colour;
    float intensity = 0.0f;
    PskVec3 attenuation{}; // constant, linear, quadratic
    float range = 0.0f;
    float innerCone = 0.0f; // degrees
    float outerCone = 0.0f;
    bool castsShadow = false;
    PskColour shadowColour;
    bool operator==(const PskLight&) const = default;
};

inline constexpr std::uint32_t kPskHasNormals = 1u << 0;
inline constexpr std::uint32_t kPskHasTexCoords0 = 1u << 2;
inline constexpr std::uint32_t kPskHasTexCoords1 = 1u << 3;

// The 40-byte in-memory vertex; attributes the file leaves out are zero.
struct PskVertex {
    PskVec3 position{};
    PskVec3 normal{};
    PskVec2 texCoords0{};
    PskVec2 texCoords1{};
    bool operator==(const PskVertex&) const = default;
};

struct PskVertexBuffer {
    std::uint32_t frameCount = 1; // 1: plain buffer; otherwise that many position frames
    std::uint32_t attributeFlags = 0;
    std::uint16_t unused = 0;
    std::vector<PskVertex> vertices; // frame 0
    // Frames 1 .. frameCount − 1, one after the other, each vertices.size() × 3 floats. Kept
    // flat so that a huge frame count over zero vertices costs nothing.
    std::vector<float> laterFramePositions;
    bool operator==(const PskVertexBuffer&) const = default;
};

struct PskIndexBuffer {
    std::vector<std::uint16_t> indices; // the low 16 bits of each stored u32
    bool operator==(const PskIndexBuffer&) const = default;
};

struct PskMaterial {
    PskColour diffuse;
    PskColour specular;
    PskColour ambient;
    PskColour selfIllumination; // only its red channel matters
    float glossiness = 0.0f;
    float specularLevel = 0.0f;
    std::uint8_t blendMode = 0; // 0 subtractive, 1 additive, 2 alpha blend
    float opacity = 0.0f;
    std::uint32_t diffuseMap = 0xFFFFFFFFu; // texture object indices
    std::uint32_t sphereReflectionMap = 0xFFFFFFFFu;
    std::uint32_t lightMap = 0xFFFFFFFFu;
    std::uint32_t specularMap = 0xFFFFFFFFu;
    std::optional<std::uint32_t> additiveMap; // from chunk version 2 on
    bool operator==(const PskMaterial&) const = default;
};

struct PskTexture {
    std::string fileName;
    bool operator==(const PskTexture&) const = default;
};

// The four time values every track carries, as stored.
struct PskTrackTimes {
    std::uint32_t unused = 0;
    std::uint32_t loopLength = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    bool operator==(const PskTrackTimes&) const = default;
};

inline constexpr std::uint32_t kPskTrackPosition = 1u << 0;
inline constexpr std::uint32_t kPskTrackRotation = 1u << 1;
inline constexpr std::uint32_t kPskTrackScale = 1u << 2;

// Only the components the track's flags name are read; the others stay zero here and are the
// node's own when animated (composeTransformSample).
struct PskTransformSample {
    PskVec3 position{};
    PskQuat rotation{};
    PskVec3 scale{};
    bool operator==(const PskTransformSample&) const = default;
};

struct PskTransformTrack {
    std::uint32_t node = 0;
    PskTrackTimes times;
    std::uint32_t componentFlags = 0;
    std::vector<PskTransformSample> samples;
    bool operator==(const PskTransformTrack&) const = default;
};

struct PskVertexTrack {
    std::uint32_t vertexBuffer = 0;
    PskTrackTimes times;
    bool operator==(const PskVertexTrack&) const = default;
};

struct PskFloatTrack {
    std::uint32_t target = 0;
    std::string controlField;
    PskTrackTimes times;
    std::vector<float> samples;
    bool operator==(const PskFloatTrack&) const = default;
};

struct PskSprite {
    std::uint32_t node = 0;
    std::uint32_t texture = 0;
    float size = 0.0f;
    bool glowExclusion = false;
    bool operator==(const PskSprite&) const = default;
};

// In chunk-type order: alternative i is chunk type i + 1.
using PskPayload = std::variant<PskAmbient, PskGroup, PskMesh, PskCamera, PskLight, PskVertexBuffer, PskIndexBuffer,
                                PskMaterial, PskTexture, PskTransformTrack, PskVertexTrack, PskFloatTrack, PskSprite>;

struct PskChunkHeader {
    std::uint64_t offset = 0; // of the header in the file
    std::uint16_t type = 0;
    std::uint16_t version = 0;
    std::uint32_t objectIndex = 0;
    std::uint32_t payloadLength = 0;
    bool operator==(const PskChunkHeader&) const = default;
};

struct PskChunk {
    PskChunkHeader header;
    PskPayload payload;
};

// A track sample applied to the node's transform as read from its node record.
PskTransform composeTransformSample(const PskTransform& nodeTransform, std::uint32_t componentFlags,
                                    const PskTransformSample& sample);
