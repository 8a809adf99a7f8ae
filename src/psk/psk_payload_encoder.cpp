// Records to payload bytes, field for field in the order the reader takes them.
#include "psk/psk_chunk_type.h"
#include "psk/psk_writer.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

constexpr std::uint32_t kNoIndex = 0xFFFFFFFFu;

void writeNode(PskPayloadBuilder& out, const PskNodeRecord& node, PskChunkType type, std::uint16_t version)
{
    out.i32(node.parent).string(node.name);
    out.f32s(node.transform.position).f32s(node.transform.rotation).f32s(node.transform.scale);
    out.string(node.properties).u8(node.flagA ? 1 : 0).u8(node.flagB ? 1 : 0);
    if (pskNodeHasVisibility(static_cast<std::uint16_t>(type), version))
        out.f32(node.visibility.value_or(1.0f));
}

void writeTimes(PskPayloadBuilder& out, const PskTrackTimes& times)
{
    out.u32(times.unused).u32(times.loopLength).u32(times.start).u32(times.end);
}

std::uint32_t count32(std::size_t size, const char* what)
{
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error(std::string("too many ") + what + " for a PSK chunk");
    return static_cast<std::uint32_t>(size);
}

struct Encoder {
    PskPayloadBuilder& out;
    std::uint16_t version;

    void operator()(const PskAmbient& ambient) { out.colour(ambient.colour); }
    void operator()(const PskGroup& group) { writeNode(out, group.node, PskChunkType::Group, version); }

    void operator()(const PskMesh& mesh)
    {
        if (mesh.subMeshes.size() > std::numeric_limits<std::uint16_t>::max())
            throw std::length_error("a PSK mesh holds at most 65535 sub-meshes");
        out.u32(mesh.node).string(mesh.name).u32(mesh.vertexBuffer).u32(mesh.indexBuffer);
        out.u16(static_cast<std::uint16_t>(mesh.subMeshes.size()));
        for (const PskSubMesh& s : mesh.subMeshes)
            out.u32(s.startIndex).u32(s.material).u32(s.unused).u32(s.indexCount).u8(s.skipped);
    }

    void operator()(const PskCamera& camera)
    {
        writeNode(out, camera.node, PskChunkType::Camera, version);
        out.f32(camera.fieldOfView).f32(camera.nearDistance).f32(camera.farDistance);
        if (!pskCameraHasSwitches(version))
            return;
        const PskCameraSwitches switches = camera.switches.value_or(PskCameraSwitches{});
        out.u32(count32(switches.activationTimes.size(), "camera switches"));
        if (switches.activationTimes.empty())
            return;
        for (std::uint32_t time : switches.activationTimes)
            out.u32(time);
        out.u32(switches.unusedTime).u32(switches.loopLength);
    }

    void operator()(const PskLight& light)
    {
        writeNode(out, light.node, PskChunkType::Light, version);
        out.u8(light.lightType).colour(light.colour).f32(light.intensity).f32s(light.attenuation);
        out.f32(light.range).f32(light.innerCone).f32(light.outerCone);
        out.u8(light.castsShadow ? 1 : 0).colour(light.shadowColour);
    }

    void operator()(const PskVertexBuffer& buffer)
    {
        const std::uint32_t flags = buffer.attributeFlags;
        const std::size_t vertexCount = buffer.vertices.size();
        const std::size_t laterFloats = buffer.frameCount > 1 ? (buffer.frameCount - 1) * vertexCount * 3 : 0;
        if (vertexCount > 0 && (buffer.frameCount == 0 || buffer.laterFramePositions.size() != laterFloats))
            throw std::invalid_argument("a PSK vertex buffer needs (frame count - 1) x vertex count x 3 frame positions");
        out.u32(buffer.frameCount).u32(flags).u16(buffer.unused).u32(count32(vertexCount, "vertices"));
        for (const PskVertex& vertex : buffer.vertices) {
            out.f32s(vertex.position);
            if (flags & kPskHasNormals)
                out.f32s(vertex.normal);
            if (flags & kPskHasTexCoords0)
                out.f32s(vertex.texCoords0);
            if (flags & kPskHasTexCoords1)
                out.f32s(vertex.texCoords1);
        }
        out.f32s(buffer.laterFramePositions);
    }

    void operator()(const PskIndexBuffer& buffer)
    {
        out.u32(count32(buffer.indices.size(), "indices"));
        for (std::uint16_t index : buffer.indices)
            out.u32(index);
    }

    void operator()(const PskMaterial& m)
    {
        out.colour(m.diffuse).colour(m.specular).colour(m.ambient).colour(m.selfIllumination);
        out.f32(m.glossiness).f32(m.specularLevel).u8(m.blendMode).f32(m.opacity);
        out.u32(m.diffuseMap).u32(m.sphereReflectionMap).u32(m.lightMap).u32(m.specularMap);
        if (pskMaterialHasAdditiveMap(version))
            out.u32(m.additiveMap.value_or(kNoIndex));
    }

    void operator()(const PskTexture& texture) { out.string(texture.fileName); }

    void operator()(const PskTransformTrack& track)
    {
        const std::uint32_t flags = track.componentFlags;
        out.u32(track.node);
        writeTimes(out, track.times);
        out.u32(flags).u32(count32(track.samples.size(), "samples"));
        for (const PskTransformSample& sample : track.samples) {
            if (flags & kPskTrackPosition)
                out.f32s(sample.position);
            if (flags & kPskTrackRotation)
                out.f32s(sample.rotation);
            if (flags & kPskTrackScale)
                out.f32s(sample.scale);
        }
    }

    void operator()(const PskVertexTrack& track)
    {
        out.u32(track.vertexBuffer);
        writeTimes(out, track.times);
    }

    void operator()(const PskFloatTrack& track)
    {
        out.u32(track.target).string(track.controlField);
        writeTimes(out, track.times);
        out.u32(count32(track.samples.size(), "samples")).f32s(track.samples);
    }

    void operator()(const PskSprite& sprite)
    {
        out.u32(sprite.node).u32(sprite.texture).f32(sprite.size).u8(sprite.glowExclusion ? 1 : 0);
    }
};

} // namespace

std::uint16_t pskChunkTypeOf(const PskPayload& payload)
{
    return static_cast<std::uint16_t>(payload.index() + 1);
}

std::vector<std::uint8_t> encodePskPayload(std::uint16_t version, const PskPayload& payload)
{
    PskPayloadBuilder out;
    std::visit(Encoder{out, version}, payload);
    return out.bytes();
}
