#include "psk/psk_chunk_type.h"

#include <array>

std::string_view pskChunkTypeName(std::uint16_t type)
{
    static constexpr std::array<std::string_view, kPskLastChunkType> names = {
        "ambient",  "group",           "mesh",         "camera",      "light",
        "vertex buffer", "index buffer", "material", "texture", "transform track",
        "vertex track",  "float track",  "sprite",
    };
    return isKnownPskChunkType(type) ? names[type - 1] : std::string_view("unknown");
}
