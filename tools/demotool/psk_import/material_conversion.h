// A source material as the player's fixed-function material: colours, self-illumination
// (a grey level in the player), glossiness from the Phong exponent, opacity and blend mode,
// and the diffuse, specular, light, additive (emissive) and sphere-reflection maps. Which
// texture-coordinate sets the maps read is returned too, since the player reads set 0 for
// every map but the light map, which reads set 1.
#pragma once

#include "import_notes.h"
#include "psk/psk_records.h"
#include "texture_export.h"

#include <assimp/material.h>

#include <cstdint>
#include <functional>
#include <string>

struct ConvertedMaterial {
    PskMaterial material;
    unsigned uvSet0 = 0; // the source channel that becomes the first set
    unsigned uvSet1 = 1; // ... and the second (the light map's)
};

// The byte the player makes of a float channel (≥ 1 is 255, ≤ 0 is 0, else rounded).
std::uint8_t colourByte(float value);
PskColour pskColour(float red, float green, float blue, float alpha);

// `textureIndex` gives the file object index of the texture chunk for a stored name.
ConvertedMaterial convertMaterial(const aiMaterial& source, const std::string& name, bool gltf,
                                  TextureExport& textures, const std::function<std::uint32_t(const std::string&)>& textureIndex,
                                  ImportNotes& notes);
