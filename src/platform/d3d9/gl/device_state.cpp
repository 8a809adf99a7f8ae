// Creation defaults of the Direct3D 9 state vector and the render-state → dirty-group table.
#include "platform/d3d9/gl/device_state.h"

namespace d3dgl {

void DeviceState::reset(UINT targetWidth, UINT targetHeight, bool autoDepth)
{
    renderStates.fill(0);
    auto set = [this](D3DRENDERSTATETYPE state, DWORD value) { renderStates[state] = value; };
    set(D3DRS_ZENABLE, autoDepth ? D3DZB_TRUE : D3DZB_FALSE);
    set(D3DRS_FILLMODE, D3DFILL_SOLID);
    set(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    set(D3DRS_ZWRITEENABLE, TRUE);
    set(D3DRS_ALPHATESTENABLE, FALSE);
    set(D3DRS_LASTPIXEL, TRUE);
    set(D3DRS_SRCBLEND, D3DBLEND_ONE);
    set(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    set(D3DRS_CULLMODE, D3DCULL_CCW);
    set(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    set(D3DRS_ALPHAREF, 0);
    set(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    set(D3DRS_DITHERENABLE, FALSE);
    set(D3DRS_ALPHABLENDENABLE, FALSE);
    set(D3DRS_FOGENABLE, FALSE);
    set(D3DRS_SPECULARENABLE, FALSE);
    set(D3DRS_STENCILENABLE, FALSE);
    set(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    set(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    set(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    set(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    set(D3DRS_STENCILREF, 0);
    set(D3DRS_STENCILMASK, 0xFFFFFFFFu);
    set(D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu);
    set(D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu);
    set(D3DRS_CLIPPING, TRUE);
    set(D3DRS_LIGHTING, TRUE);
    set(D3DRS_AMBIENT, 0);
    set(D3DRS_COLORVERTEX, TRUE);
    set(D3DRS_LOCALVIEWER, TRUE);
    set(D3DRS_NORMALIZENORMALS, FALSE);
    set(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    set(D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2);
    set(D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    set(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    set(D3DRS_POINTSIZE, d3dFloatBits(1.0f));
    set(D3DRS_POINTSIZE_MIN, d3dFloatBits(1.0f));
    set(D3DRS_POINTSPRITEENABLE, FALSE);
    set(D3DRS_POINTSCALEENABLE, FALSE);
    set(D3DRS_POINTSCALE_A, d3dFloatBits(1.0f));
    set(D3DRS_POINTSCALE_B, d3dFloatBits(0.0f));
    set(D3DRS_POINTSCALE_C, d3dFloatBits(0.0f));
    set(D3DRS_POINTSIZE_MAX, d3dFloatBits(64.0f));
    set(D3DRS_COLORWRITEENABLE, 0x0000000Fu);
    set(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    set(D3DRS_SCISSORTESTENABLE, FALSE);
    set(D3DRS_SEPARATEALPHABLENDENABLE, FALSE);

    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage) {
        auto& s = stageStates[stage];
        s.fill(0);
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_TEXCOORDINDEX] = stage;
        s[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        s[D3DTSS_COLORARG0] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        s[D3DTSS_RESULTARG] = D3DTA_CURRENT;

        auto& sampler = samplerStates[stage];
        sampler.fill(0);
        sampler[D3DSAMP_ADDRESSU] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSV] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_ADDRESSW] = D3DTADDRESS_WRAP;
        sampler[D3DSAMP_BORDERCOLOR] = 0;
        sampler[D3DSAMP_MAGFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MINFILTER] = D3DTEXF_POINT;
        sampler[D3DSAMP_MIPFILTER] = D3DTEXF_NONE;
        sampler[D3DSAMP_MIPMAPLODBIAS] = 0;
        sampler[D3DSAMP_MAXMIPLEVEL] = 0;
        sampler[D3DSAMP_MAXANISOTROPY] = 1;
    }

    world = view = projection = identityMatrix();
    textureMatrices.fill(identityMatrix());
    viewport = {0, 0, targetWidth, targetHeight, 0.0f, 1.0f};
    scissor = {0, 0, static_cast<LONG>(targetWidth), static_cast<LONG>(targetHeight)};
    material = {};
    lights.clear();
    fvf = 0;
    dirty = kDirtyAll;
    dirtySamplers = 0xFF;
}

std::uint32_t dirtyBitsForRenderState(D3DRENDERSTATETYPE state)
{
    switch (state) {
    case D3DRS_ZENABLE:
        return kDirtyDepthStencil;
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_STENCILENABLE:
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
    case D3DRS_STENCILFUNC:
    case D3DRS_STENCILREF:
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
        return kDirtyDepthStencil;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_BLENDOP:
    case D3DRS_SEPARATEALPHABLENDENABLE:
        return kDirtyBlend;
    case D3DRS_FILLMODE:
    case D3DRS_CULLMODE:
    case D3DRS_COLORWRITEENABLE:
        return kDirtyRaster;
    case D3DRS_SCISSORTESTENABLE:
        return kDirtyViewport;
    case D3DRS_SHADEMODE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_LIGHTING:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
        return kDirtyProgramKey;
    case D3DRS_ALPHAFUNC:
        return kDirtyProgramKey | kDirtyMaterial;
    case D3DRS_ALPHAREF:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
        return kDirtyMaterial;
    default:
        return 0; // dither, fog, clipping, last pixel: no effect in this pipeline
    }
}

} // namespace d3dgl
