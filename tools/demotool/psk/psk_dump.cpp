// Turns each chunk record into field groups for a dump sink, in file order of the fields.
#include "psk_dump.h"

#include "dump_sink.h"

#include "psk/psk_chunk_type.h"

namespace {

std::vector<float> floats(std::span<const float> values)
{
    return {values.begin(), values.end()};
}

template <std::size_t N>
std::vector<float> floats(const std::array<float, N>& values)
{
    return {values.begin(), values.end()};
}

std::vector<DumpItem> colour(const PskColour& c)
{
    return {{"argb", DumpHex{c.argb}}, {"rgba", std::vector<float>{c.red, c.green, c.blue, c.alpha}}};
}

DumpItem one(DumpValue value)
{
    return {"", std::move(value)};
}

std::uint64_t u(std::uint64_t value)
{
    return value;
}

struct Describer {
    DumpSink& sink;

    void node(const PskNodeRecord& n)
    {
        sink.group("parent", {one(std::int64_t{n.parent})});
        sink.group("name", {one(n.name)});
        sink.group("transform", {{"position", floats(n.transform.position)},
                                 {"rotation", floats(n.transform.rotation)},
                                 {"scale", floats(n.transform.scale)}});
        sink.group("properties", {one(n.properties)});
        sink.group("flags", {{"A", u(n.flagA)}, {"B", u(n.flagB)}});
        if (n.visibility)
            sink.group("visibility", {one(*n.visibility)});
    }

    void times(const PskTrackTimes& t)
    {
        sink.group("times", {{"unused", u(t.unused)}, {"loop_length", u(t.loopLength)}, {"start", u(t.start)},
                             {"end", u(t.end)}});
    }

    void operator()(const PskAmbient& a) { sink.group("colour", colour(a.colour)); }
    void operator()(const PskGroup& g) { node(g.node); }

    void operator()(const PskMesh& m)
    {
        sink.group("node", {one(u(m.node))});
        sink.group("name", {one(m.name)});
        sink.group("buffers", {{"vertex", u(m.vertexBuffer)}, {"index", u(m.indexBuffer)}});
        sink.group("sub_mesh_count", {one(u(m.subMeshes.size()))});
        for (std::size_t i = 0; i < m.subMeshes.size(); ++i) {
            const PskSubMesh& s = m.subMeshes[i];
            sink.listItem("sub_meshes", "sub-mesh", i,
                          {{"start_index", u(s.startIndex)}, {"material", u(s.material)}, {"unused", u(s.unused)},
                           {"index_count", u(s.indexCount)}, {"skipped", u(s.skipped)}});
        }
    }

    void operator()(const PskCamera& c)
    {
        node(c.node);
        sink.group("lens", {{"field_of_view", c.fieldOfView}, {"near", c.nearDistance}, {"far", c.farDistance}});
        if (!c.switches)
            return;
        std::vector<std::uint64_t> activation(c.switches->activationTimes.begin(), c.switches->activationTimes.end());
        sink.group("switches", {{"times", activation}, {"unused", u(c.switches->unusedTime)},
                                {"loop_length", u(c.switches->loopLength)}});
    }

    void operator()(const PskLight& l)
    {
        node(l.node);
        sink.group("light_type", {one(u(l.lightType))});
        std::vector<DumpItem> light = colour(l.colour);
        light.push_back({"intensity", l.intensity});
        sink.group("colour", light);
        sink.group("attenuation", {one(floats(l.attenuation))});
        sink.group("range", {one(l.range)});
        sink.group("cone", {{"inner", l.innerCone}, {"outer", l.outerCone}});
        std::vector<DumpItem> shadow = colour(l.shadowColour);
        shadow.insert(shadow.begin(), {"casts", u(l.castsShadow)});
        sink.group("shadow", shadow);
    }

    void operator()(const PskVertexBuffer& b)
    {
        sink.group("format", {{"frames", u(b.frameCount)}, {"attribute_flags", DumpHex{b.attributeFlags}},
                              {"unused", u(b.unused)}, {"vertices", u(b.vertices.size())}});
        for (std::size_t i = 0; i < b.vertices.size(); ++i) {
            const PskVertex& v = b.vertices[i];
            std::vector<DumpItem> items{{"position", floats(v.position)}};
            if (b.attributeFlags & kPskHasNormals)
                items.push_back({"normal", floats(v.normal)});
            if (b.attributeFlags & kPskHasTexCoords0)
                items.push_back({"uv0", floats(v.texCoords0)});
            if (b.attributeFlags & kPskHasTexCoords1)
                items.push_back({"uv1", floats(v.texCoords1)});
            sink.listItem("vertices", "vertex", i, items);
        }
        const std::size_t frameFloats = b.vertices.size() * 3;
        for (std::size_t f = 0; frameFloats && f < b.laterFramePositions.size() / frameFloats; ++f)
            sink.listItem("later_frames", "frame", f + 1,
                          {{"positions", floats(std::span(b.laterFramePositions).subspan(f * frameFloats, frameFloats))}});
    }

    void operator()(const PskIndexBuffer& b)
    {
        sink.group("count", {{"indices", u(b.indices.size())}, {"triangles", u(b.indices.size() / 3)}});
        sink.group("indices", {one(std::vector<std::uint64_t>(b.indices.begin(), b.indices.end()))});
    }

    void operator()(const PskMaterial& m)
    {
        sink.group("diffuse", colour(m.diffuse));
        sink.group("specular", colour(m.specular));
        sink.group("ambient", colour(m.ambient));
        sink.group("self_illumination", colour(m.selfIllumination));
        sink.group("shine", {{"glossiness", m.glossiness}, {"specular_level", m.specularLevel}});
        sink.group("blend", {{"mode", u(m.blendMode)}, {"opacity", m.opacity}});
        std::vector<DumpItem> maps{{"diffuse", u(m.diffuseMap)}, {"sphere_reflection", u(m.sphereReflectionMap)},
                                   {"light", u(m.lightMap)}, {"specular", u(m.specularMap)}};
        if (m.additiveMap)
            maps.push_back({"additive", u(*m.additiveMap)});
        sink.group("maps", maps);
    }

    void operator()(const PskTexture& t) { sink.group("file_name", {one(t.fileName)}); }

    void operator()(const PskTransformTrack& t)
    {
        sink.group("node", {one(u(t.node))});
        times(t.times);
        sink.group("samples", {{"component_flags", DumpHex{t.componentFlags}}, {"count", u(t.samples.size())}});
        for (std::size_t i = 0; i < t.samples.size(); ++i) {
            std::vector<DumpItem> items;
            if (t.componentFlags & kPskTrackPosition)
                items.push_back({"position", floats(t.samples[i].position)});
            if (t.componentFlags & kPskTrackRotation)
                items.push_back({"rotation", floats(t.samples[i].rotation)});
            if (t.componentFlags & kPskTrackScale)
                items.push_back({"scale", floats(t.samples[i].scale)});
            sink.listItem("sample_list", "sample", i, items);
        }
    }

    void operator()(const PskVertexTrack& t)
    {
        sink.group("vertex_buffer", {one(u(t.vertexBuffer))});
        times(t.times);
    }

    void operator()(const PskFloatTrack& t)
    {
        sink.group("target", {one(u(t.target))});
        sink.group("control_field", {one(t.controlField)});
        times(t.times);
        sink.group("samples", {one(t.samples)});
    }

    void operator()(const PskSprite& s)
    {
        sink.group("node", {one(u(s.node))});
        sink.group("texture", {one(u(s.texture))});
        sink.group("size", {one(s.size)});
        sink.group("glow_exclusion", {one(u(s.glowExclusion))});
    }
};

} // namespace

std::optional<PskDamage> dumpPskFile(std::span<const std::uint8_t> data, bool json, std::ostream& out)
{
    const std::unique_ptr<DumpSink> sink = json ? makeJsonDumpSink(out) : makeTextDumpSink(out);
    PskChunkReader reader(data);
    PskChunk chunk;
    while (reader.next(chunk) == PskChunkReader::Step::Chunk) {
        sink->beginChunk(chunk.header);
        std::visit(Describer{*sink}, chunk.payload);
        sink->endChunk();
    }
    sink->finish(reader.damage());
    return reader.damage();
}
