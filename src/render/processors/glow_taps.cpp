// The glow pass's texture stages: the taps that blur one level into the next, and the
// composite that adds every level onto the frame.
#include "platform/d3dx/d3dx_math.h"
#include "render/glow_targets.h"
#include "render/processors/glow_processor.h"
#include "render/state_cache.h"

#include <array>

namespace {

struct TapOffset {
    float du, dv;
};

void setStageOps(IDirect3DDevice9* device, DWORD stage, DWORD op)
{
    device->SetTextureStageState(stage, D3DTSS_COLOROP, op);
    device->SetTextureStageState(stage, D3DTSS_ALPHAOP, op);
}

void setStageArgs(IDirect3DDevice9* device, DWORD stage, DWORD arg1, DWORD arg2)
{
    device->SetTextureStageState(stage, D3DTSS_COLORARG1, arg1);
    device->SetTextureStageState(stage, D3DTSS_COLORARG2, arg2);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG1, arg1);
    device->SetTextureStageState(stage, D3DTSS_ALPHAARG2, arg2);
}

void setClampedCoordinates(IDirect3DDevice9* device, DWORD stage, DWORD transformFlags)
{
    device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, transformFlags);
    device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 0);
    device->SetSamplerState(stage, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(stage, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

// Stage 0 weighs its sample by the factor; every later stage adds its own weighted sample.
void setTapStages(IDirect3DDevice9* device, DWORD stages)
{
    for (DWORD stage = 0; stage < stages; ++stage) {
        if (stage == 0) {
            setStageOps(device, stage, D3DTOP_MODULATE);
        } else {
            setStageOps(device, stage, D3DTOP_MULTIPLYADD);
            device->SetTextureStageState(stage, D3DTSS_COLORARG0, D3DTA_CURRENT);
            device->SetTextureStageState(stage, D3DTSS_ALPHAARG0, D3DTA_CURRENT);
        }
        setStageArgs(device, stage, D3DTA_TEXTURE, D3DTA_TFACTOR);
        setClampedCoordinates(device, stage, D3DTTFF_COUNT2);
        device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
    setStageOps(device, stages, D3DTOP_DISABLE);
}

} // namespace

void GlowProcessor::setUpTaps(float spread, float side, bool secondDirection, bool first)
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    cache.setRenderState(D3DRS_TEXTUREFACTOR, kTapFactor);
    // Half a texel of the target, one texel of its twice-as-large source.
    const float h = 0.5f / side;
    const float e = h + spread;
    const float g = h - spread;
    const DWORD stages = stagesInUse();
    if (first) setTapStages(device, stages);
    const std::array<TapOffset, 4> offsets{{{e, h}, {g, h}, {h, e}, {h, g}}};
    const std::size_t firstOffset = twoTapMode_ && secondDirection ? 2 : 0;
    for (DWORD stage = 0; stage < stages; ++stage) {
        D3DXMATRIX shift;
        D3DXMatrixIdentity(&shift);
        shift._31 = offsets[firstOffset + stage].du;
        shift._32 = offsets[firstOffset + stage].dv;
        device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &shift);
    }
}

void GlowProcessor::composite(const GlowTargets& targets)
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    const DWORD stages = stagesInUse();
    for (DWORD stage = 0; stage < stages; ++stage) {
        setStageArgs(device, stage, D3DTA_CURRENT, D3DTA_TEXTURE);
        setStageOps(device, stage, stage == 0 ? D3DTOP_SELECTARG2 : D3DTOP_ADD);
        setClampedCoordinates(device, stage, D3DTTFF_DISABLE);
        device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    }
    setStageOps(device, stages, D3DTOP_DISABLE);
    cache.setRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    cache.setRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    cache.setRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    cache.setRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (int firstLevel = 0; firstLevel < GlowTargets::kLevels; firstLevel += static_cast<int>(stages)) {
        for (DWORD stage = 0; stage < stages; ++stage) device->SetTexture(stage, targets.level(firstLevel + stage));
        drawQuad();
    }
}
