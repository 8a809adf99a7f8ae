#include "material_conversion.h"

#include <assimp/GltfMaterial.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::uint32_t kNoTexture = 0xFFFFFFFFu;

aiColor4D colourOr(const aiMaterial& source, const char* key, unsigned type, unsigned index, aiColor4D fallback)
{
    aiColor4D colour;
    return source.Get(key, type, index, colour) == AI_SUCCESS ? colour : fallback;
}

float floatOr(const aiMaterial& source, const char* key, unsigned type, unsigned index, float fallback)
{
    float value = 0.0f;
    return source.Get(key, type, index, value) == AI_SUCCESS && std::isfinite(value) ? value : fallback;
}

struct MapResult {
    std::uint32_t index = kNoTexture;
    unsigned uvSet = 0;
};

MapResult exportMap(const aiMaterial& source, aiTextureType type, TextureExport& textures,
                    const std::function<std::uint32_t(const std::string&)>& textureIndex, const std::string& user)
{
    MapResult result;
    aiString path;
    if (source.GetTextureCount(type) == 0 || source.GetTexture(type, 0, &path) != AI_SUCCESS)
        return result;
    int uvSet = 0;
    if (source.Get(AI_MATKEY_UVWSRC(type, 0), uvSet) == AI_SUCCESS && uvSet >= 0 && uvSet < AI_MAX_NUMBER_OF_TEXTURECOORDS)
        result.uvSet = static_cast<unsigned>(uvSet);
    if (const auto name = textures.exportTexture(path.C_Str(), user))
        result.index = textureIndex(*name);
    return result;
}

void blendFromSource(const aiMaterial& source, bool gltf, PskMaterial& material, const std::string& user,
                     ImportNotes& notes)
{
    material.blendMode = 2;
    aiString alphaMode;
    if (gltf && source.Get(AI_MATKEY_GLTF_ALPHAMODE, alphaMode) == AI_SUCCESS) {
        const std::string mode = alphaMode.C_Str();
        if (mode == "OPAQUE")
            material.opacity = 1.0f; // glTF ignores alpha on opaque materials
        else if (mode == "MASK")
            notes.note(user, "alpha mask (cutoff) is drawn blended instead");
        return;
    }
    int blend = aiBlendMode_Default;
    if (source.Get(AI_MATKEY_BLEND_FUNC, blend) == AI_SUCCESS && blend == aiBlendMode_Additive)
        material.blendMode = 1;
}

} // namespace

std::uint8_t colourByte(float value)
{
    if (value >= 1.0f)
        return 255;
    if (!(value > 0.0f))
        return 0;
    return static_cast<std::uint8_t>(value * 255.0f + 0.5f);
}

PskColour pskColour(float red, float green, float blue, float alpha)
{
    return PskColour::fromArgb(std::uint32_t{colourByte(alpha)} << 24 | std::uint32_t{colourByte(red)} << 16 |
                               std::uint32_t{colourByte(green)} << 8 | colourByte(blue));
}

ConvertedMaterial convertMaterial(const aiMaterial& source, const std::string& name, bool gltf,
                                  TextureExport& textures, const std::function<std::uint32_t(const std::string&)>& textureIndex,
                                  ImportNotes& notes)
{
    const std::string user = "material " + quotedName(name);
    ConvertedMaterial out;
    PskMaterial& material = out.material;

    const aiColor4D diffuse = colourOr(source, AI_MATKEY_COLOR_DIFFUSE, aiColor4D(0.8f, 0.8f, 0.8f, 1.0f));
    const aiColor4D specular = colourOr(source, AI_MATKEY_COLOR_SPECULAR, aiColor4D(0.0f, 0.0f, 0.0f, 1.0f));
    const aiColor4D ambient = colourOr(source, AI_MATKEY_COLOR_AMBIENT, diffuse);
    const aiColor4D emissive = colourOr(source, AI_MATKEY_COLOR_EMISSIVE, aiColor4D(0.0f, 0.0f, 0.0f, 1.0f));
    material.diffuse = pskColour(diffuse.r, diffuse.g, diffuse.b, 1.0f);
    material.specular = pskColour(specular.r, specular.g, specular.b, 1.0f);
    material.ambient = pskColour(ambient.r, ambient.g, ambient.b, 1.0f);
    const float glow = std::max({emissive.r, emissive.g, emissive.b});
    if (std::max({std::fabs(emissive.r - glow), std::fabs(emissive.g - glow), std::fabs(emissive.b - glow)}) > 1.0f / 255.0f)
        notes.note(user, "emissive colour is not grey; self-illumination keeps its brightest channel");
    material.selfIllumination = pskColour(glow, glow, glow, 1.0f);
    // The player's specular power is glossiness × 32.
    material.glossiness = std::max(0.0f, floatOr(source, AI_MATKEY_SHININESS, 0.0f)) / 32.0f;
    material.specularLevel = floatOr(source, AI_MATKEY_SHININESS_STRENGTH, 1.0f);
    material.opacity = std::clamp(floatOr(source, AI_MATKEY_OPACITY, diffuse.a), 0.0f, 1.0f);
    blendFromSource(source, gltf, material, user, notes);

    MapResult diffuseMap = exportMap(source, aiTextureType_DIFFUSE, textures, textureIndex, user);
    if (source.GetTextureCount(aiTextureType_DIFFUSE) == 0)
        diffuseMap = exportMap(source, aiTextureType_BASE_COLOR, textures, textureIndex, user);
    material.diffuseMap = diffuseMap.index;
    out.uvSet0 = diffuseMap.uvSet;
    material.specularMap = exportMap(source, aiTextureType_SPECULAR, textures, textureIndex, user).index;
    material.additiveMap = exportMap(source, aiTextureType_EMISSIVE, textures, textureIndex, user).index;
    material.sphereReflectionMap = exportMap(source, aiTextureType_REFLECTION, textures, textureIndex, user).index;
    if (gltf && source.GetTextureCount(aiTextureType_LIGHTMAP) > 0) {
        notes.note(user, "occlusion map dropped (the player's light map would replace the lighting)");
    } else {
        const MapResult lightMap = exportMap(source, aiTextureType_LIGHTMAP, textures, textureIndex, user);
        material.lightMap = lightMap.index;
        if (lightMap.index != kNoTexture)
            out.uvSet1 = lightMap.uvSet;
    }
    static const std::pair<aiTextureType, const char*> kDropped[] = {
        {aiTextureType_NORMALS, "normal map"},        {aiTextureType_HEIGHT, "height map"},
        {aiTextureType_OPACITY, "opacity map"},       {aiTextureType_DISPLACEMENT, "displacement map"},
        {aiTextureType_METALNESS, "metalness map"},   {aiTextureType_DIFFUSE_ROUGHNESS, "roughness map"},
        {aiTextureType_SHININESS, "shininess map"},   {aiTextureType_AMBIENT, "ambient map"},
    };
    for (const auto& [type, what] : kDropped)
        if (source.GetTextureCount(type) > 0)
            notes.note(user, std::string(what) + " dropped (the player has none)");
    return out;
}
