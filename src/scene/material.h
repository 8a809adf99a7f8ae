// Colours, a few scalars and up to five maps, turned into fixed-function state: the device
// material, the texture stages, alpha blending, alpha test and depth writes. In the glow
// pass it draws its self-illumination grey instead of its lit colour.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "scene/base.h"
#include "scene/object_ref.h"
#include "scene/preparable.h"
#include "scene/texture.h"

#include <string>

class Material : public Base, public Preparable {
public:
    static constexpr int kSubtractive = 0;
    static constexpr int kAdditive = 1;
    static constexpr int kAlphaBlend = 2;

    Material(SceneGraph& scene, int id);

    // Puts the opacity into the colours' alpha, derives the device material, and turns a
    // subtractive material with an alpha diffuse map into an alpha-blended one.
    void link() override;
    void refresh(bool) override {}
    // "OPACITY" only; any other name ends the program with its message.
    float* controlField(const std::string& name) override;
    // All device state for drawing with this material at node visibility `visibility`.
    virtual void apply(float visibility);
    bool needsBlending(float visibility);

    // Texture ids per role; -1 = none.
    void setMap(TextureRole role, int textureId);
    int mapId(TextureRole role) const;
    Texture* map(TextureRole role);

    const D3DMATERIAL9& deviceMaterial() const { return device_; }

    std::string name;
    int blendMode = kSubtractive;
    D3DCOLORVALUE diffuse{0, 0, 0, 0};
    D3DCOLORVALUE specular{0, 0, 0, 0};
    D3DCOLORVALUE ambient{0, 0, 0, 0};
    float glossiness = 0.0f;
    float specularLevel = 0.0f;
    // A grey level, 0..1.
    float selfIllumination = 0.0f;
    float opacity = 1.0f;

private:
    static constexpr int kRoleSlots = 6;
    ObjectRef<Texture>& slot(TextureRole role) { return maps_[static_cast<int>(role)]; }
    void setBlending(float fade);

    D3DMATERIAL9 device_{};
    // Indexed by role number; slot 2 has no role and stays empty.
    ObjectRef<Texture> maps_[kRoleSlots];
};
