#include "scene/texture.h"

#include "render/state_cache.h"
#include "scene/texture_image.h"
#include "scene/texture_roles.h"

#include <algorithm>

namespace {

DWORD deviceStageCount(IDirect3DDevice9* device)
{
    D3DCAPS9 caps{};
    if (!device || FAILED(device->GetDeviceCaps(&caps))) return 0;
    // resetStages clears no stage past the cache's last, so none is bound there either.
    return std::min<DWORD>(caps.MaxSimultaneousTextures, StateCache::kStageCount);
}

} // namespace

Texture::Texture(SceneGraph& scene, int id) : Base(scene, id), maxStages_(deviceStageCount(stateCache().device())) {}

void Texture::load(const std::string& fileName) { show(loadTextureImage(stateCache(), fileName)); }

void Texture::show(IDirect3DTexture9* texture)
{
    deviceTexture_ = texture;
    hasAlpha_ = textureHasAlpha(texture);
}

D3DXMATRIX Texture::coordinateMatrix() const
{
    D3DXMATRIX toCentre, scale, back;
    D3DXMatrixTranslation(&toCentre, -0.5f, -0.5f, 0.0f);
    D3DXMatrixScaling(&scale, uScale, vScale, 1.0f);
    D3DXMatrixTranslation(&back, 0.5f - uOffset, 0.5f + vOffset, 0.0f);
    D3DXMATRIX m = toCentre * scale * back;
    // Two coordinates: the translation lives in the third row.
    m._31 = m._41;
    m._32 = m._42;
    m._41 = 0.0f;
    m._42 = 0.0f;
    return m;
}

void Texture::bind(DWORD& stage, TextureRole role)
{
    if (stage >= maxStages_) return;
    IDirect3DDevice9* device = stateCache().device();
    setRoleStages(device, stage, role, stateCache().glowPass);
    if (role != TextureRole::LightMap) {
        const D3DXMATRIX m = coordinateMatrix();
        device->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage), &m);
    }
    device->SetTexture(stage, deviceTexture_);
    ++stage;
}
