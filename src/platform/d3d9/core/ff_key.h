// The fixed-function pipeline key: everything in the Direct3D state that changes the shape of
// the generated program (vertex layout, lighting set-up, the texture stage cascade, alpha test,
// points). Values that only feed uniforms stay out. Unused fields are zeroed so equivalent
// states share one program.
#pragma once

#include "platform/d3d9/core/device_state.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace d3dcore {

struct FfStageKey {
    std::uint8_t colorOp = 0;           // D3DTOP value; 0 = the cascade ended before this stage
    std::uint8_t alphaOp = 0;           // D3DTOP value; DISABLE keeps the current alpha
    std::uint8_t colorArg[3] = {0, 0, 0}; // ARG0, ARG1, ARG2 (selector and modifiers)
    std::uint8_t alphaArg[3] = {0, 0, 0};
    std::uint8_t coordSet = 0;          // vertex coordinate set read by the stage
    std::uint8_t coordGenerator = 0;    // D3DTSS_TCI_* >> 16
    std::uint8_t transformCount = 0;    // D3DTTFF_COUNTn (0 = no transform)
    std::uint8_t projected = 0;
    std::uint8_t sampled = 0;           // 1: the stage reads its bound texture
    std::uint8_t resultTemp = 0;        // 1: the result goes to TEMP instead of CURRENT
};

struct FfKey {
    std::array<FfStageKey, D3D_MAX_STAGES> stages{};
    std::array<std::uint8_t, D3D_MAX_LIGHTS> lightTypes{}; // enabled lights in index order; 0 = none
    std::uint8_t pretransformed = 0;    // D3DFVF_XYZRHW
    std::uint8_t hasNormal = 0;
    std::uint8_t hasPointSize = 0;
    std::uint8_t hasDiffuse = 0;
    std::uint8_t hasSpecular = 0;
    std::uint8_t texCoordCount = 0;
    std::uint8_t lighting = 0;
    std::uint8_t localViewer = 0;
    std::uint8_t normalizeNormals = 0;
    std::uint8_t specularEnable = 0;
    std::uint8_t diffuseSource = 0;     // resolved D3DMCS_*: COLOR1/COLOR2 only when the vertex has it
    std::uint8_t ambientSource = 0;
    std::uint8_t specularSource = 0;
    std::uint8_t emissiveSource = 0;
    std::uint8_t alphaFunc = 0;         // D3DCMP_*; 0 = no alpha test
    std::uint8_t flatShading = 0;
    std::uint8_t points = 0;
    std::uint8_t pointSprite = 0;
    std::uint8_t pointScale = 0;

    bool operator==(const FfKey& other) const { return std::memcmp(this, &other, sizeof *this) == 0; }
    bool usesGeometryStage() const { return points != 0; }
    int lightCount() const
    {
        int count = 0;
        while (count < static_cast<int>(D3D_MAX_LIGHTS) && lightTypes[count]) ++count;
        return count;
    }
};
static_assert(std::is_trivially_copyable_v<FfKey>);

struct FfKeyHash {
    std::size_t operator()(const FfKey& key) const;
};

// Which stages have a texture bound.
using FfBoundTextures = std::array<bool, D3D_MAX_STAGES>;

FfKey buildFfKey(const DeviceState& state, const FfBoundTextures& bound, bool points);

// Which of ARG0/ARG1/ARG2 a texture operation reads (bit 0 = ARG0).
unsigned argumentsUsedBy(DWORD op);

} // namespace d3dcore
