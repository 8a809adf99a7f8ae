#include "scene/material.h"

#include "platform/shell/shell.h"
#include "render/state_cache.h"

Material::Material(SceneGraph& scene, int id) : Base(scene, id) {}

void Material::setMap(TextureRole role, int textureId) { slot(role).setId(textureId); }

int Material::mapId(TextureRole role) const { return maps_[static_cast<int>(role)].id(); }

Texture* Material::map(TextureRole role) { return slot(role).resolve(scene()); }

void Material::link()
{
    diffuse.a = opacity;
    specular.a = opacity;
    ambient.a = opacity;
    device_.Diffuse = diffuse;
    device_.Ambient = ambient;
    device_.Specular = {specularLevel * specular.r, specularLevel * specular.g, specularLevel * specular.b,
                        specularLevel * specular.a};
    device_.Emissive = {selfIllumination, selfIllumination, selfIllumination, 1.0f};
    device_.Power = glossiness * 32.0f;
    const Texture* diffuseMap = map(TextureRole::Diffuse);
    if (diffuseMap && diffuseMap->hasAlpha() && blendMode == kSubtractive) blendMode = kAlphaBlend;
}

float* Material::controlField(const std::string& fieldName)
{
    if (fieldName == "OPACITY") return &opacity;
    failWithMessage("Error", "Material: Invalid control field!", 0);
}

bool Material::needsBlending(float visibility)
{
    if (visibility <= 0.99f) return true;
    if (map(TextureRole::Specular)) return false;
    if (opacity <= 0.99f) return true;
    const Texture* diffuseMap = map(TextureRole::Diffuse);
    return diffuseMap && diffuseMap->hasAlpha();
}
