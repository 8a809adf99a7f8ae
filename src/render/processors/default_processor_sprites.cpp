// The plain pass's sprites (additive point sprites in texture order) and its full-screen quad.
#include "platform/d3d9/d3d9_helpers.h"
#include "platform/d3dx/d3dx_math.h"
#include "render/processors/clip_space_quad.h"
#include "render/processors/default_processor.h"
#include "render/state_cache.h"
#include "scene/group.h"
#include "scene/sprite.h"
#include "scene/texture.h"

#include <algorithm>

namespace {

void setPointSpriteStates(StateCache& cache)
{
    IDirect3DDevice9* device = cache.device();
    cache.setRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    cache.setRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    cache.setRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    cache.setRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, FALSE);
    cache.setRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    cache.setRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    cache.setRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    cache.setRenderState(D3DRS_POINTSIZE_MIN, d3dFloatBits(0.0f));
    cache.setRenderState(D3DRS_POINTSIZE_MAX, d3dFloatBits(1024.0f));
    cache.setRenderState(D3DRS_POINTSCALE_A, d3dFloatBits(0.0f));
    cache.setRenderState(D3DRS_POINTSCALE_B, d3dFloatBits(0.0f));
    cache.setRenderState(D3DRS_POINTSCALE_C, d3dFloatBits(1.0f));
    device->SetFVF(D3DFVF_XYZ);
}

} // namespace

void DefaultProcessor::drawSprites()
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    std::sort(sprites_.begin(), sprites_.end(),
              [](const SpriteEntry& a, const SpriteEntry& b) { return a.sprite->textureId() < b.sprite->textureId(); });
    setPointSpriteStates(cache);
    static constexpr float kOrigin[3] = {0.0f, 0.0f, 0.0f};
    for (const SpriteEntry& entry : sprites_) {
        Sprite& sprite = *entry.sprite;
        if (cache.glowPass && sprite.glowExclusion) continue;
        cache.setRenderState(D3DRS_POINTSIZE, d3dFloatBits(sprite.size));
        Texture* texture = sprite.texture();
        device->SetTexture(0, texture ? texture->deviceTexture() : nullptr);
        device->SetTransform(D3DTS_WORLD, &entry.node->worldMatrix());
        device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, kOrigin, sizeof(kOrigin));
    }
    cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
    cache.setRenderState(D3DRS_LIGHTING, TRUE);
    cache.setRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
}

void setScreenQuadTransforms(IDirect3DDevice9* device)
{
    D3DXMATRIX projection, identity;
    D3DXMatrixOrthoLH(&projection, 2.0f, 2.0f, 0.0f, 1.0f);
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
}

void DefaultProcessor::drawFullScreenQuad()
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    D3DMATRIX projection{}, view{};
    device->GetTransform(D3DTS_PROJECTION, &projection);
    device->GetTransform(D3DTS_VIEW, &view);
    setScreenQuadTransforms(device);
    device->SetFVF(kQuadFormat);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, FALSE);
    cache.setRenderState(D3DRS_LIGHTING, FALSE);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, kClipSpaceQuad, kQuadStride);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
    cache.setRenderState(D3DRS_LIGHTING, TRUE);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &view);
}
