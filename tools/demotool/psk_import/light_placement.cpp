#include "light_placement.h"

#include "camera_light_conversion.h"

namespace {

constexpr unsigned kMaxLights = 8;

PskTransform placementAt(const ImportContext& context, const aiLight& light, const aiNode* node,
                         std::optional<std::uint32_t> sample)
{
    const aiMatrix4x4 world = context.worldAt(node, sample);
    const aiVector3D position = world * light.mPosition;
    const aiVector3D direction = aiMatrix3x3(world) * light.mDirection;
    PskTransform transform;
    transform.position = toPskPoint(position, context.options.scale);
    transform.rotation = pskLightRotationFor(toPskDirection(direction));
    return transform;
}

} // namespace

void placeLights(ImportContext& context)
{
    float ambient[3] = {0.0f, 0.0f, 0.0f};
    unsigned kept = 0;
    for (const auto& [light, node] : context.lights) {
        const std::string user = "light " + quotedName(light->mName.C_Str());
        if (light->mType == aiLightSource_AMBIENT) {
            const aiColor3D& colour = light->mColorAmbient.IsBlack() ? light->mColorDiffuse : light->mColorAmbient;
            ambient[0] += colour.r;
            ambient[1] += colour.g;
            ambient[2] += colour.b;
            continue;
        }
        std::optional<PskLight> chunk = convertLight(*light, context.gltf, context.options.scale);
        if (!chunk) {
            context.notes.note(user, "area lights are not supported; dropped");
            continue;
        }
        if (kept == kMaxLights) {
            context.notes.note(user, "more than 8 lights; dropped");
            continue;
        }
        ++kept;
        const std::string name = context.uniqueNodeName(light->mName.C_Str());
        chunk->node = makeNodeRecord(static_cast<std::int32_t>(context.rootIndex), name,
                                     placementAt(context, *light, node, std::nullopt));
        const std::uint32_t index = context.builder.newIndex();
        context.builder.add(PskSceneBuilder::Section::Nodes, 2, index, std::move(*chunk));
        ++context.summary.lights;
        ++context.summary.nodes;
        if (context.animatedUpTo(node)) {
            std::vector<PskTransform> samples;
            for (std::uint32_t k = 0; k < context.clock->count; ++k)
                samples.push_back(placementAt(context, *light, node, k));
            addTransformTrack(context, index, std::move(samples));
        }
    }
    PskAmbient chunk;
    chunk.colour = pskColour(ambient[0], ambient[1], ambient[2], 1.0f);
    context.builder.add(PskSceneBuilder::Section::Head, 1, 0, chunk);
}
