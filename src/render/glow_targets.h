// The glow chain's render targets, shared by every scene's glow pass for the whole run: eight
// square A8R8G8B8 textures (512, 256, 64, 32, 8, 4, 2, 1 texels a side) and one 512 × 512
// depth-stencil surface. The script engine creates them at its start and releases them at its
// end; the glow pass only borrows them.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <array>

class GlowTargets {
public:
    static constexpr int kLevels = 8;
    static constexpr std::array<UINT, kLevels> kSides{512, 256, 64, 32, 8, 4, 2, 1};

    // Makes all nine unless the depth-stencil surface exists already. A refused creation
    // leaves that one missing (see complete).
    void create(IDirect3DDevice9* device);
    // Releases all nine and forgets them.
    void release();

    // Every target and the depth surface exist: the glow pass draws nothing otherwise.
    bool complete() const;
    // The device they were made on: a scene on another device must not sample them.
    IDirect3DDevice9* device() const { return device_; }
    IDirect3DTexture9* level(int index) const { return levels_[index]; }
    IDirect3DSurface9* depthStencil() const { return depthStencil_; }

private:
    IDirect3DDevice9* device_ = nullptr;
    std::array<IDirect3DTexture9*, kLevels> levels_{};
    IDirect3DSurface9* depthStencil_ = nullptr;
};

// The one set of the process.
GlowTargets& glowTargets();
