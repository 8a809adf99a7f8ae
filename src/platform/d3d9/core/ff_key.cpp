// Packing the Direct3D state into the fixed-function key (see ff_key.h).
#include "platform/d3d9/core/ff_key.h"

#include <type_traits>

namespace d3dcore {

std::size_t FfKeyHash::operator()(const FfKey& key) const
{
    // FNV-1a over the bytes: the key has no padding (all members are bytes).
    static_assert(std::has_unique_object_representations_v<FfStageKey>);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&key);
    std::uint64_t hash = 1469598103934665603ull;
    for (std::size_t i = 0; i < sizeof key; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return static_cast<std::size_t>(hash);
}

unsigned argumentsUsedBy(DWORD op)
{
    switch (op) {
    case D3DTOP_SELECTARG1: return 0b010;
    case D3DTOP_SELECTARG2: return 0b100;
    case D3DTOP_MODULATE:
    case D3DTOP_MODULATE2X:
    case D3DTOP_MODULATE4X:
    case D3DTOP_ADD:
    case D3DTOP_ADDSIGNED:
    case D3DTOP_ADDSIGNED2X:
    case D3DTOP_SUBTRACT:
    case D3DTOP_ADDSMOOTH:
    case D3DTOP_DOTPRODUCT3: return 0b110;
    case D3DTOP_MULTIPLYADD:
    case D3DTOP_LERP: return 0b111;
    default: return 0;
    }
}

namespace {

bool knownOp(DWORD op) { return op == D3DTOP_DISABLE || argumentsUsedBy(op) != 0; }

// Whether any argument the operation reads selects the stage's texture.
bool readsTexture(DWORD op, const DWORD args[3])
{
    const unsigned used = argumentsUsedBy(op);
    for (int i = 0; i < 3; ++i)
        if ((used & (1u << i)) && (args[i] & D3DTA_SELECTMASK) == D3DTA_TEXTURE) return true;
    return false;
}

std::uint8_t resolveSource(DWORD source, bool colorVertex, bool hasDiffuse, bool hasSpecular)
{
    if (!colorVertex) return D3DMCS_MATERIAL;
    if (source == D3DMCS_COLOR1) return hasDiffuse ? D3DMCS_COLOR1 : D3DMCS_MATERIAL;
    if (source == D3DMCS_COLOR2) return hasSpecular ? D3DMCS_COLOR2 : D3DMCS_MATERIAL;
    return D3DMCS_MATERIAL;
}

} // namespace

FfKey buildFfKey(const DeviceState& state, const FfBoundTextures& bound, bool points)
{
    FfKey key;
    const DWORD fvf = state.fvf;
    key.pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
    key.hasNormal = (fvf & D3DFVF_NORMAL) && !key.pretransformed;
    key.hasPointSize = (fvf & D3DFVF_PSIZE) != 0;
    key.hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
    key.hasSpecular = (fvf & D3DFVF_SPECULAR) != 0;
    key.texCoordCount = static_cast<std::uint8_t>(
        std::min<DWORD>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, D3D_MAX_STAGES));
    key.specularEnable = state.rs(D3DRS_SPECULARENABLE) != FALSE;
    key.flatShading = state.rs(D3DRS_SHADEMODE) == D3DSHADE_FLAT;

    // Pre-transformed vertices are never lit.
    if (state.rs(D3DRS_LIGHTING) && !key.pretransformed) {
        key.lighting = 1;
        key.localViewer = state.rs(D3DRS_LOCALVIEWER) != FALSE;
        key.normalizeNormals = state.rs(D3DRS_NORMALIZENORMALS) != FALSE;
        const bool colorVertex = state.rs(D3DRS_COLORVERTEX) != FALSE;
        key.diffuseSource = resolveSource(state.rs(D3DRS_DIFFUSEMATERIALSOURCE), colorVertex, key.hasDiffuse, key.hasSpecular);
        key.ambientSource = resolveSource(state.rs(D3DRS_AMBIENTMATERIALSOURCE), colorVertex, key.hasDiffuse, key.hasSpecular);
        key.specularSource = resolveSource(state.rs(D3DRS_SPECULARMATERIALSOURCE), colorVertex, key.hasDiffuse, key.hasSpecular);
        key.emissiveSource = resolveSource(state.rs(D3DRS_EMISSIVEMATERIALSOURCE), colorVertex, key.hasDiffuse, key.hasSpecular);
        int slot = 0;
        for (const LightSlot& light : state.lights) {
            if (!light.enabled) continue;
            key.lightTypes[slot++] = static_cast<std::uint8_t>(light.light.Type);
            if (slot == static_cast<int>(D3D_MAX_LIGHTS)) break;
        }
    }

    if (state.rs(D3DRS_ALPHATESTENABLE) && state.rs(D3DRS_ALPHAFUNC) != D3DCMP_ALWAYS &&
        state.rs(D3DRS_ALPHAFUNC) >= D3DCMP_NEVER && state.rs(D3DRS_ALPHAFUNC) <= D3DCMP_ALWAYS)
        key.alphaFunc = static_cast<std::uint8_t>(state.rs(D3DRS_ALPHAFUNC));

    if (points) {
        key.points = 1;
        key.pointSprite = state.rs(D3DRS_POINTSPRITEENABLE) != FALSE;
        key.pointScale = state.rs(D3DRS_POINTSCALEENABLE) && !key.pretransformed;
    }

    for (DWORD i = 0; i < D3D_MAX_STAGES; ++i) {
        const auto& s = state.stageStates[i];
        const DWORD colorOp = s[D3DTSS_COLOROP];
        const DWORD colorArgs[3] = {s[D3DTSS_COLORARG0], s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2]};
        // The cascade ends at the first disabled stage, and at a stage whose colour operation
        // needs a texture that is not there (that stage and every later one count as disabled).
        if (colorOp == D3DTOP_DISABLE || !knownOp(colorOp)) break;
        if (!bound[i] && readsTexture(colorOp, colorArgs)) break;

        FfStageKey& stage = key.stages[i];
        stage.colorOp = static_cast<std::uint8_t>(colorOp);
        const unsigned colorUsed = argumentsUsedBy(colorOp);
        for (int a = 0; a < 3; ++a)
            if (colorUsed & (1u << a)) stage.colorArg[a] = static_cast<std::uint8_t>(colorArgs[a] & 0x3F);

        DWORD alphaOp = s[D3DTSS_ALPHAOP];
        if (!knownOp(alphaOp)) alphaOp = D3DTOP_DISABLE;
        // A dot product fills all four channels, so the alpha operation has no say.
        if (colorOp == D3DTOP_DOTPRODUCT3) alphaOp = D3DTOP_DISABLE;
        const DWORD alphaArgs[3] = {s[D3DTSS_ALPHAARG0], s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2]};
        stage.alphaOp = static_cast<std::uint8_t>(alphaOp);
        const unsigned alphaUsed = argumentsUsedBy(alphaOp);
        for (int a = 0; a < 3; ++a)
            if (alphaUsed & (1u << a)) stage.alphaArg[a] = static_cast<std::uint8_t>(alphaArgs[a] & 0x3F);

        const bool wantsTexture = readsTexture(colorOp, colorArgs) || readsTexture(alphaOp, alphaArgs);
        stage.sampled = wantsTexture && bound[i];
        if (stage.sampled) {
            const DWORD index = s[D3DTSS_TEXCOORDINDEX];
            stage.coordSet = static_cast<std::uint8_t>(index & 0x7);
            stage.coordGenerator = static_cast<std::uint8_t>((index >> 16) & 0x7);
            const DWORD flags = s[D3DTSS_TEXTURETRANSFORMFLAGS];
            stage.transformCount = static_cast<std::uint8_t>(std::min<DWORD>(flags & 0xFF, 4));
            stage.projected = stage.transformCount && (flags & D3DTTFF_PROJECTED);
            if (key.pointSprite) {
                // Sprite coordinates replace every stage's coordinate, untransformed.
                stage.coordSet = stage.coordGenerator = stage.transformCount = stage.projected = 0;
            }
        }
        stage.resultTemp = s[D3DTSS_RESULTARG] == D3DTA_TEMP;
    }
    return key;
}

} // namespace d3dcore
