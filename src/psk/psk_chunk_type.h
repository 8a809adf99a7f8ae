// Chunk types of a PSK scene file, their names for tools, and the version rules that decide
// which optional fields a chunk carries; reader and writer share them so they cannot drift.
#pragma once

#include <cstdint>
#include <string_view>

enum class PskChunkType : std::uint16_t {
    Ambient = 1,
    Group = 2,
    Mesh = 3,
    Camera = 4,
    Light = 5,
    VertexBuffer = 6,
    IndexBuffer = 7,
    Material = 8,
    Texture = 9,
    TransformTrack = 10,
    VertexTrack = 11,
    FloatTrack = 12,
    Sprite = 13,
};

inline constexpr std::uint16_t kPskFirstChunkType = 1;
inline constexpr std::uint16_t kPskLastChunkType = 13;
inline constexpr std::size_t kPskChunkHeaderSize = 12;

inline bool isKnownPskChunkType(std::uint16_t type)
{
    return type >= kPskFirstChunkType && type <= kPskLastChunkType;
}

// "group", "vertex buffer", ...; "unknown" outside 1–13.
std::string_view pskChunkTypeName(std::uint16_t type);

// A node record carries its visibility from version 2 on, a camera's from version 3 on.
inline bool pskNodeHasVisibility(std::uint16_t type, std::uint16_t version)
{
    return version > (type == static_cast<std::uint16_t>(PskChunkType::Camera) ? 2 : 1);
}

inline bool pskCameraHasSwitches(std::uint16_t version) { return version >= 2; }
inline bool pskMaterialHasAdditiveMap(std::uint16_t version) { return version >= 2; }
