#include "scene/light.h"

#include "render/state_cache.h"
#include "scene/scene_graph.h"

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

D3DCOLORVALUE scaled(const D3DCOLORVALUE& colour, float factor)
{
    return {colour.r * factor, colour.g * factor, colour.b * factor, colour.a * factor};
}

} // namespace

Light::Light(SceneGraph& scene, int id) : Group(scene, id) {}

Light::~Light() { scene().removeLight(this); }

void Light::link()
{
    Group::link();
    scene().addLight(this);
}

void Light::refresh(bool transformChanged)
{
    Group::refresh(transformChanged);
    if (set_) updateDevice();
}

float* Light::controlField(const std::string& fieldName)
{
    if (fieldName == "Intensity" || fieldName == "Shadow Multiplier") return &intensity;
    if (fieldName == "ColorR") return &colour.r;
    if (fieldName == "ColorG") return &colour.g;
    if (fieldName == "ColorB") return &colour.b;
    if (fieldName == "ColorA") return &colour.a;
    if (fieldName == "Shadow ColorR") return &shadowColour.r;
    if (fieldName == "Shadow ColorG") return &shadowColour.g;
    if (fieldName == "Shadow ColorB") return &shadowColour.b;
    if (fieldName == "Shadow ColorA") return &shadowColour.a;
    return Group::controlField(fieldName);
}

void Light::setOnce()
{
    if (set_) return;
    set_ = true;
    updateDevice();
}

void Light::updateDevice()
{
    D3DLIGHT9& light = deviceLight_;
    light.Type = type;
    light.Diffuse = scaled(colour, intensity);
    light.Specular = light.Diffuse;
    light.Ambient = {0.0f, 0.0f, 0.0f, 0.0f};
    light.Range = range;
    light.Attenuation0 = attenuation0;
    light.Attenuation1 = attenuation1;
    light.Attenuation2 = attenuation2;
    light.Theta = innerCone * kRadiansPerDegree;
    light.Phi = outerCone * kRadiansPerDegree;
    light.Falloff = 1.0f;
    const D3DXMATRIX& world = worldMatrix();
    light.Position = {world._41, world._42, world._43};
    light.Direction = {-world._12, -world._22, -world._32};
    stateCache().setLight(&light, deviceIndex_);
}
