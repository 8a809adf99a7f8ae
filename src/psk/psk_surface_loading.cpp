// Materials, textures (plain or animated by a sequence file beside them) and sprites.
#include "psk/psk_scene_loader.h"
#include "psk/psk_sequence_file.h"
#include "scene/animated_texture.h"
#include "scene/group.h"
#include "scene/material.h"
#include "scene/sprite.h"

namespace {

D3DCOLORVALUE colourValue(const PskColour& colour) { return {colour.red, colour.green, colour.blue, colour.alpha}; }

} // namespace

void PSKSceneLoader::addMaterial(const PskChunkHeader& header, const PskMaterial& record)
{
    Material& material = define<Material>(header.objectIndex);
    material.diffuse = colourValue(record.diffuse);
    material.specular = colourValue(record.specular);
    material.ambient = colourValue(record.ambient);
    material.selfIllumination = record.selfIllumination.red;
    material.glossiness = record.glossiness;
    material.specularLevel = record.specularLevel;
    material.blendMode = record.blendMode;
    material.opacity = record.opacity;
    material.setMap(TextureRole::Diffuse, idForIndex(record.diffuseMap));
    material.setMap(TextureRole::SphereReflection, idForIndex(record.sphereReflectionMap));
    material.setMap(TextureRole::LightMap, idForIndex(record.lightMap));
    material.setMap(TextureRole::Specular, idForIndex(record.specularMap));
    material.setMap(TextureRole::Additive, record.additiveMap ? idForIndex(*record.additiveMap) : -1);
}

void PSKSceneLoader::addTexture(const PskChunkHeader& header, const PskTexture& record)
{
    const std::string& file = record.fileName;
    // Too short to name its sequence file.
    if (file.size() < 3)
        refuse();
    if (std::optional<std::string> sequence = readPskSequenceFile(pskSequenceName(file))) {
        AnimatedTexture& texture = define<AnimatedTexture>(header.objectIndex);
        texture.name = file;
        texture.loadImages(*sequence, timeOffset_, timeScale_);
        return;
    }
    Texture& texture = define<Texture>(header.objectIndex);
    texture.load(file);
    texture.name = file;
}

void PSKSceneLoader::addSprite(const PskChunkHeader& header, const PskSprite& record)
{
    Sprite& sprite = define<Sprite>(header.objectIndex);
    Group& node = resolve<Group>(record.node);
    sprite.node = &node;
    node.sprite = &sprite;
    sprite.setTextureId(idForIndex(record.texture));
    sprite.size = record.size;
    sprite.glowExclusion = record.glowExclusion;
}
