// The state one import shares between its steps: the source scene, the options, the chunks
// made so far, the notes, the textures written, and the one animation that is sampled.
#pragma once

#include "animation_sampling.h"
#include "camera_light_conversion.h"
#include "import_notes.h"
#include "material_conversion.h"
#include "psk_import.h"
#include "psk_scene_builder.h"
#include "texture_export.h"

#include <assimp/scene.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

inline constexpr std::size_t kMaxNameBytes = 255;

struct ImportContext {
    ImportContext(const aiScene& source, const PskImportOptions& importOptions, SourceKind sourceKind,
                  const std::filesystem::path& outputFolder, const std::filesystem::path& texturesFolder);

    const aiScene& scene;
    const PskImportOptions& options;
    SourceKind kind;
    bool gltf; // kind == SourceKind::Gltf
    ImportNotes notes;
    PskSceneBuilder builder;
    TextureExport textures;
    PskImportSummary summary;

    std::map<unsigned, ConvertedMaterial> materials; // by source material index
    std::map<unsigned, std::uint32_t> materialIndices;
    std::set<std::string> nodeNames;
    std::optional<SampleClock> clock;
    const aiAnimation* animation = nullptr;
    std::map<std::string, const aiNodeAnim*> channels; // of the sampled animation, by node name
    std::vector<std::pair<const aiLight*, const aiNode*>> lights;
    std::uint32_t rootIndex = 0;

    std::string uniqueNodeName(const std::string& wanted);
    // The source material's conversion and chunk index, made on first use.
    const ConvertedMaterial& material(unsigned sourceIndex, std::uint32_t& pskIndex);
    // The node's local transform at each sample of the clock; empty when it is not animated.
    std::vector<SourceTrs> localSamples(const aiNode& node) const;
    // The node's placement in the scene at one sample (at rest without a clock).
    aiMatrix4x4 worldAt(const aiNode* node, std::optional<std::uint32_t> sample) const;
    bool animatedUpTo(const aiNode* node) const;
};

// The node record every node chunk starts with; visibility 1 (stored by the versions used).
PskNodeRecord makeNodeRecord(std::int32_t parent, const std::string& name, const PskTransform& transform);

// A transform track for the node, samples already in the player's axes.
void addTransformTrack(ImportContext& context, std::uint32_t node, std::vector<PskTransform> samples);
