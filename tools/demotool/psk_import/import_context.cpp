#include "import_context.h"

ImportContext::ImportContext(const aiScene& source, const PskImportOptions& importOptions, SourceKind sourceKind,
                             const std::filesystem::path& outputFolder, const std::filesystem::path& texturesFolder)
    : scene(source), options(importOptions), kind(sourceKind), gltf(sourceKind == SourceKind::Gltf),
      textures(source, importOptions.input.parent_path(), outputFolder, texturesFolder,
               importOptions.output.stem().string(), notes)
{
}

std::string ImportContext::uniqueNodeName(const std::string& wanted)
{
    // A scene file's strings hold at most 65,535 bytes; a name needs far fewer.
    const std::string base = wanted.empty() ? "node" : wanted.substr(0, kMaxNameBytes);
    std::string name = base;
    for (unsigned n = 2; nodeNames.count(name) != 0; ++n)
        name = base + "-" + std::to_string(n);
    nodeNames.insert(name);
    return name;
}

const ConvertedMaterial& ImportContext::material(unsigned sourceIndex, std::uint32_t& pskIndex)
{
    if (const auto found = materials.find(sourceIndex); found != materials.end()) {
        pskIndex = materialIndices.at(sourceIndex);
        return found->second;
    }
    const aiMaterial* source = sourceIndex < scene.mNumMaterials ? scene.mMaterials[sourceIndex] : nullptr;
    aiMaterial fallback;
    const aiMaterial& used = source ? *source : fallback;
    aiString name;
    used.Get(AI_MATKEY_NAME, name);
    const std::string label = name.length > 0 ? name.C_Str() : "material " + std::to_string(sourceIndex);
    ConvertedMaterial converted = convertMaterial(
        used, label, gltf, textures, [this](const std::string& file) { return builder.textureIndex(file); }, notes);
    pskIndex = builder.newIndex();
    builder.add(PskSceneBuilder::Section::Head, 2, pskIndex, converted.material);
    materialIndices[sourceIndex] = pskIndex;
    ++summary.materials;
    return materials.emplace(sourceIndex, converted).first->second;
}

std::vector<SourceTrs> ImportContext::localSamples(const aiNode& node) const
{
    std::vector<SourceTrs> samples;
    const auto found = channels.find(node.mName.C_Str());
    if (!clock || found == channels.end())
        return samples;
    const SourceTrs rest = decomposeSource(node.mTransformation);
    const double ticksPerMs = ticksPerSecond(*animation) / 1000.0;
    for (std::uint32_t k = 0; k < clock->count; ++k)
        samples.push_back(evaluateChannel(*found->second, clock->msAt(k) * ticksPerMs, rest));
    return samples;
}

aiMatrix4x4 ImportContext::worldAt(const aiNode* node, std::optional<std::uint32_t> sample) const
{
    aiMatrix4x4 world;
    for (; node; node = node->mParent) {
        aiMatrix4x4 local = node->mTransformation;
        const auto found = channels.find(node->mName.C_Str());
        if (sample && clock && found != channels.end()) {
            const double ticks = clock->msAt(*sample) * ticksPerSecond(*animation) / 1000.0;
            local = composeSource(evaluateChannel(*found->second, ticks, decomposeSource(node->mTransformation)));
        }
        world = local * world;
    }
    return world;
}

bool ImportContext::animatedUpTo(const aiNode* node) const
{
    for (; node && clock; node = node->mParent)
        if (channels.count(node->mName.C_Str()) != 0)
            return true;
    return false;
}

PskNodeRecord makeNodeRecord(std::int32_t parent, const std::string& name, const PskTransform& transform)
{
    PskNodeRecord record;
    record.parent = parent;
    record.name = name;
    record.transform = transform;
    record.visibility = 1.0f;
    return record;
}

void addTransformTrack(ImportContext& context, std::uint32_t node, std::vector<PskTransform> samples)
{
    if (!context.clock || samples.empty())
        return;
    PskTransformTrack track;
    track.node = node;
    // Tracks loop in the player; one turn of the loop is the whole animation.
    track.times = {0, context.clock->endMs, context.clock->startMs, context.clock->endMs};
    track.componentFlags = kPskTrackPosition | kPskTrackRotation | kPskTrackScale;
    PskQuat previous{0.0f, 0.0f, 0.0f, 1.0f};
    for (std::size_t k = 0; k < samples.size(); ++k) {
        PskQuat rotation = samples[k].rotation;
        // q and −q are one rotation; neighbours on the same side interpolate the short way.
        const float dot = rotation[0] * previous[0] + rotation[1] * previous[1] + rotation[2] * previous[2] +
                          rotation[3] * previous[3];
        if (k > 0 && dot < 0.0f)
            for (float& component : rotation)
                component = -component;
        previous = rotation;
        track.samples.push_back(PskTransformSample{samples[k].position, rotation, samples[k].scale});
    }
    context.builder.add(PskSceneBuilder::Section::Tracks, 1, 0, track);
    ++context.summary.tracks;
}
