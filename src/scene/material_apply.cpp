// Material::apply: the one place that decides how a sub-mesh is drawn.
#include "scene/material.h"

#include "render/state_cache.h"
#include "scene/colour_pack.h"

#include <algorithm>

namespace {

// The glow colour: stage 0 puts out the texture factor alone, unlit.
void selectGlowColour(StateCache& cache, DWORD factor)
{
    IDirect3DDevice9* device = cache.device();
    cache.setRenderState(D3DRS_TEXTUREFACTOR, factor);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    device->SetTexture(0, nullptr);
    cache.setRenderState(D3DRS_LIGHTING, FALSE);
}

} // namespace

void Material::apply(float visibility)
{
    StateCache& cache = stateCache();
    const float fade = std::clamp((visibility - 0.5f) * 2.0f, 0.0f, 1.0f);
    const bool translucent = opacity <= 0.99f;
    DWORD stage = 0;

    device_.Diffuse = diffuse;
    device_.Diffuse.a = fade * diffuse.a;
    if (translucent) device_.Diffuse.a *= opacity;

    if (cache.glowPass) {
        selectGlowColour(cache, packArgb(selfIllumination, selfIllumination, selfIllumination, device_.Diffuse.a));
        stage = 1;
    } else if (Texture* lightMap = map(TextureRole::LightMap)) {
        lightMap->bind(stage, TextureRole::LightMap);
        cache.setRenderState(D3DRS_LIGHTING, map(TextureRole::Specular) ? TRUE : FALSE);
    } else {
        cache.setRenderState(D3DRS_LIGHTING, TRUE);
    }

    if (Texture* diffuseMap = map(TextureRole::Diffuse)) {
        diffuseMap->bind(stage, TextureRole::Diffuse);
        device_.Diffuse = {1.0f, 1.0f, 1.0f, fade * opacity};
    }
    if (Texture* specularMap = map(TextureRole::Specular)) {
        cache.setRenderState(D3DRS_SPECULARENABLE, FALSE);
        specularMap->bind(stage, TextureRole::Specular);
    } else {
        cache.setRenderState(D3DRS_SPECULARENABLE, TRUE);
    }
    if (Texture* sphereMap = map(TextureRole::SphereReflection)) sphereMap->bind(stage, TextureRole::SphereReflection);
    if (Texture* additiveMap = map(TextureRole::Additive)) additiveMap->bind(stage, TextureRole::Additive);
    if (translucent) device_.Diffuse.a *= opacity;

    cache.resetStages(stage);
    cache.setMaterial(device_);
    setBlending(fade);
}

void Material::setBlending(float fade)
{
    StateCache& cache = stateCache();
    const bool blends = needsBlending(fade);
    cache.setRenderState(D3DRS_ALPHABLENDENABLE, blends ? TRUE : FALSE);
    cache.setRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    cache.setRenderState(D3DRS_ALPHAREF, 1);
    if (!blends) {
        cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
        return;
    }
    // Fading in or out always adds, whatever the material's own mode.
    const int mode = fade < 0.999f ? kAdditive : blendMode;
    switch (mode) {
    case kSubtractive:
    case kAdditive:
        cache.setRenderState(D3DRS_BLENDOP, mode == kSubtractive ? D3DBLENDOP_SUBTRACT : D3DBLENDOP_ADD);
        cache.setRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        cache.setRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
        cache.setRenderState(D3DRS_ZWRITEENABLE, FALSE);
        break;
    case kAlphaBlend:
        cache.setRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
        cache.setRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        cache.setRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
        break;
    default: break;
    }
}
