// A light node: it joins the scene's lights when linked and leaves them when destroyed, and
// keeps one device light up to date: colour × intensity, cones in radians, position and
// direction from its world matrix, at an index the state cache hands out on first use.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "scene/group.h"

class Light : public Group {
public:
    Light(SceneGraph& scene, int id);
    ~Light() override;

    void link() override;
    // The node refresh, then the device light (lights start set, so every refresh sends it).
    void refresh(bool transformChanged) override;
    // "Intensity" (also "Shadow Multiplier"), "ColorR/G/B/A", "Shadow ColorR/G/B/A", then the
    // Group's names.
    float* controlField(const std::string& name) override;
    void setOnce();

    const D3DLIGHT9& deviceLight() const { return deviceLight_; }
    DWORD deviceIndex() const { return deviceIndex_; }

    // From the scene file, passed to the device unchanged.
    D3DLIGHTTYPE type = D3DLIGHT_POINT;
    float range = 0.0f;
    float attenuation0 = 0.0f;
    float attenuation1 = 0.0f;
    float attenuation2 = 0.0f;

    D3DCOLORVALUE colour{1, 1, 1, 1};
    float intensity = 1.0f;
    // Degrees.
    float innerCone = 0.0f;
    float outerCone = 0.0f;
    bool castsShadow = false;
    // Animatable, never drawn.
    D3DCOLORVALUE shadowColour{0, 0, 0, 0};

protected:
    virtual void updateDevice();

    bool set_ = true;

private:
    D3DLIGHT9 deviceLight_{};
    DWORD deviceIndex_ = 0xFFFFFFFFu;
};
