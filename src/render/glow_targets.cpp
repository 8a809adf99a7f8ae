#include "render/glow_targets.h"

GlowTargets& glowTargets()
{
    static GlowTargets targets;
    return targets;
}

void GlowTargets::create(IDirect3DDevice9* device)
{
    if (depthStencil_ || !device) return;
    // Targets of an earlier device whose depth surface was refused are not reused.
    release();
    device_ = device;
    for (int i = 0; i < kLevels; ++i) {
        const UINT side = kSides[i];
        if (FAILED(device->CreateTexture(side, side, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                         &levels_[i], nullptr)))
            levels_[i] = nullptr;
    }
    if (FAILED(device->CreateDepthStencilSurface(kSides[0], kSides[0], D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                 &depthStencil_, nullptr)))
        depthStencil_ = nullptr;
}

void GlowTargets::release()
{
    for (IDirect3DTexture9*& level : levels_) safeRelease(level);
    safeRelease(depthStencil_);
    device_ = nullptr;
}

bool GlowTargets::complete() const
{
    if (!depthStencil_) return false;
    for (IDirect3DTexture9* level : levels_) {
        if (!level) return false;
    }
    return true;
}
