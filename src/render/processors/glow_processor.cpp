// The glow pass: source, chain and composite.
#include "render/processors/glow_processor.h"

#include "render/glow_targets.h"
#include "render/processors/clip_space_quad.h"
#include "render/state_cache.h"
#include "scene/camera.h"
#include "scene/scene_graph.h"

#include <cstring>

namespace {

bool fewerThanFourStages(IDirect3DDevice9* device)
{
    D3DCAPS9 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) return true;
    return caps.MaxSimultaneousTextures < 4;
}

// The target and depth surface the frame was drawing to, put back when it goes.
class KeptTargets {
public:
    explicit KeptTargets(IDirect3DDevice9* device) : device_(device)
    {
        device->GetRenderTarget(0, &target_);
        device->GetDepthStencilSurface(&depth_);
    }
    ~KeptTargets()
    {
        device_->SetRenderTarget(0, target_);
        device_->SetDepthStencilSurface(depth_);
        safeRelease(target_);
        safeRelease(depth_);
    }
    KeptTargets(const KeptTargets&) = delete;
    KeptTargets& operator=(const KeptTargets&) = delete;

private:
    IDirect3DDevice9* device_;
    IDirect3DSurface9* target_ = nullptr;
    IDirect3DSurface9* depth_ = nullptr;
};

} // namespace

GlowProcessor::GlowProcessor(SceneGraph& scene, int id) : DefaultProcessor(scene, id)
{
    IDirect3DDevice9* device = stateCache().device();
    twoTapMode_ = fewerThanFourStages(device);
    if (FAILED(device->CreateVertexBuffer(sizeof(kClipSpaceQuad), D3DUSAGE_WRITEONLY, kQuadFormat, D3DPOOL_DEFAULT,
                                          &quad_, nullptr))) {
        quad_ = nullptr;
        return;
    }
    void* data = nullptr;
    if (FAILED(quad_->Lock(0, 0, &data, 0)) || !data) {
        safeRelease(quad_);
        return;
    }
    std::memcpy(data, kClipSpaceQuad, sizeof(kClipSpaceQuad));
    quad_->Unlock();
}

GlowProcessor::~GlowProcessor() { safeRelease(quad_); }

void GlowProcessor::endPass()
{
    const GlowTargets& targets = glowTargets();
    if (!quad_ || !targets.complete() || targets.device() != stateCache().device()) return;
    {
        KeptTargets kept(stateCache().device());
        drawGlowSource(targets);
        buildChain(targets);
    }
    composite(targets);
    StateCache& cache = stateCache();
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, TRUE);
    cache.setRenderState(D3DRS_LIGHTING, TRUE);
    if (Camera* camera = scene().activeCamera()) camera->refresh(false);
}

void GlowProcessor::drawGlowSource(const GlowTargets& targets)
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    cache.setRenderTargetTexture(targets.level(0));
    device->SetDepthStencilSurface(targets.depthStencil());
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0xFF000000u, 1.0f, 127);
    cache.glowPass = true;
    drawScene();
    cache.glowPass = false;
}

void GlowProcessor::drawQuad() { stateCache().device()->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2); }

void GlowProcessor::buildChain(const GlowTargets& targets)
{
    StateCache& cache = stateCache();
    IDirect3DDevice9* device = cache.device();
    setScreenQuadTransforms(device);
    device->SetFVF(kQuadFormat);
    device->SetVertexShader(nullptr);
    device->SetStreamSource(0, quad_, 0, kQuadStride);
    cache.setRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    cache.setRenderState(D3DRS_ZWRITEENABLE, FALSE);
    cache.setRenderState(D3DRS_LIGHTING, FALSE);
    cache.setRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    const DWORD stages = stagesInUse();
    bool first = true;
    for (int i = 1; i < GlowTargets::kLevels; ++i) {
        IDirect3DTexture9* source = targets.level(i - 1);
        const float side = static_cast<float>(GlowTargets::kSides[i]);
        const float spread = static_cast<float>(i) * kSpreadStep;
        cache.setRenderTargetTexture(targets.level(i));
        const auto bindSource = [&] {
            for (DWORD stage = 0; stage < stages; ++stage) device->SetTexture(stage, source);
        };
        if (twoTapMode_) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000u, 1.0f, 0);
            cache.setRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            setUpTaps(spread, side, false, first);
            bindSource();
            drawQuad();
            // The vertical pair is added onto the horizontal one.
            cache.setRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            cache.setRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
            cache.setRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
            cache.setRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
            setUpTaps(spread, side, true, false);
            bindSource();
            drawQuad();
        } else {
            setUpTaps(spread, side, false, first);
            bindSource();
            drawQuad();
        }
        first = false;
    }
}
