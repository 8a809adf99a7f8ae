#include "scene/texture_roles.h"

#include <cstring>

namespace {

struct RoleStages {
    D3DTEXTUREOP colourOp;
    DWORD colourArg0; // 0: not set
    DWORD colourArg1;
    DWORD colourArg2; // 0 with colourArg0 0: not set
    D3DTEXTUREOP alphaOp;
    bool alphaArg0Current;
    DWORD coordinates;
    D3DTEXTURETRANSFORMFLAGS transformFlags;
    D3DTEXTUREADDRESS address;
    bool firstLevelOnly;
};

RoleStages stagesOf(TextureRole role, bool glowPass)
{
    switch (role) {
    case TextureRole::Diffuse:
        return {D3DTOP_MODULATE, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_MODULATE, false, 0, D3DTTFF_COUNT2,
                D3DTADDRESS_WRAP, true};
    case TextureRole::SphereReflection:
        return {glowPass ? D3DTOP_MODULATE : D3DTOP_ADDSMOOTH, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG2,
                false, D3DTSS_TCI_SPHEREMAP, D3DTTFF_COUNT2, D3DTADDRESS_CLAMP, false};
    case TextureRole::Specular:
        return {D3DTOP_MULTIPLYADD, D3DTA_CURRENT, D3DTA_SPECULAR, D3DTA_TEXTURE, D3DTOP_MODULATE, false, 0,
                D3DTTFF_COUNT2, D3DTADDRESS_WRAP, false};
    case TextureRole::Additive:
        return {D3DTOP_ADD, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_MODULATE, true, 0, D3DTTFF_COUNT2,
                D3DTADDRESS_WRAP, false};
    case TextureRole::LightMap:
        // Its own coordinates, untransformed: a transform left on this stage by an earlier
        // draw must not move it.
        return {D3DTOP_SELECTARG1, 0, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, false, 1, D3DTTFF_DISABLE,
                D3DTADDRESS_WRAP, true};
    }
    return stagesOf(TextureRole::Diffuse, glowPass);
}

DWORD floatBits(float value)
{
    DWORD bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

void setRoleStages(IDirect3DDevice9* device, DWORD stage, TextureRole role, bool glowPass)
{
    const RoleStages s = stagesOf(role, glowPass);
    device->SetTextureStageState(stage, D3DTSS_COLOROP, s.colourOp);
    if (s.colourArg0) device->SetTextureStageState(stage, D3DTSS_COLORARG0, s.colourArg0);
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, s.colourArg1);
    if (s.colourArg2 || s.colourArg0) device->SetTextureStageState(stage, D3DTSS_COLORARG2, s.colourArg2);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, s.alphaOp);
    if (s.alphaArg0Current) device->SetTextureStageState(stage, D3DTSS_ALPHAARG0, D3DTA_CURRENT);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, s.coordinates);
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, s.transformFlags);
    device->SetSamplerState(stage, D3DSAMP_ADDRESSU, s.address);
    device->SetSamplerState(stage, D3DSAMP_ADDRESSV, s.address);
    device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MIPMAPLODBIAS, floatBits(0.0f));
    if (s.firstLevelOnly) device->SetSamplerState(stage, D3DSAMP_MAXMIPLEVEL, 0);
}
