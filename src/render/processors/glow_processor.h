// The glow pass: draws the same visible objects once more in their materials' glow colours
// into the 512 × 512 glow target, blurs it down a chain of ever smaller targets (four taps per
// texel, or two passes of two taps on a device with fewer than four texture stages) and adds
// every level, stretched over the screen, onto the frame. It owns only its quad buffer; the
// targets are the process-wide ones of render/glow_targets.h.
#pragma once

#include "render/processors/default_processor.h"

class GlowTargets;

class GlowProcessor : public DefaultProcessor {
public:
    // Half a texel apart per level step: level i spreads its taps i × this.
    static constexpr float kSpreadStep = 0.005f;
    // Each tap's weight, in every byte of the texture factor: 68 / 255.
    static constexpr DWORD kTapFactor = 0x44444444u;

    GlowProcessor(SceneGraph& scene, int id);
    ~GlowProcessor() override;

    // Without complete glow targets on this scene's device, or without the quad buffer, it
    // draws nothing at all.
    void endPass() override;

    bool twoTapMode() const { return twoTapMode_; }
    // Texture stages each tap pass and each composite quad uses.
    DWORD stagesInUse() const { return twoTapMode_ ? 2 : 4; }

private:
    void drawGlowSource(const GlowTargets& targets);
    void buildChain(const GlowTargets& targets);
    void composite(const GlowTargets& targets);
    // Texture factor, the stages on the first call of a pass, and the tap offsets of `side`.
    void setUpTaps(float spread, float side, bool secondDirection, bool first);
    void drawQuad();

    IDirect3DVertexBuffer9* quad_ = nullptr;
    bool twoTapMode_ = false;
};
