#include "psk_sample_chunks.h"

#include "psk/psk_chunk_type.h"
#include "psk/psk_writer.h"

PskNodeRecord samplePskNode(const std::string& name, std::int32_t parent)
{
    PskNodeRecord node;
    node.parent = parent;
    node.name = name;
    node.transform = {{1.5f, -2.0f, 3.25f}, {0.0f, 0.70710677f, 0.0f, 0.70710677f}, {1.0f, 2.0f, 0.5f}};
    node.properties = "loader = no\r\nGlow=1\n";
    node.flagA = true;
    return node;
}

std::vector<PskSampleChunk> samplePskChunks()
{
    std::vector<PskSampleChunk> chunks;
    chunks.push_back({"ambient", 1, 0, PskAmbient{PskColour::fromArgb(0xFF204060u)}});

    PskGroup root{samplePskNode("Root", -1)};
    chunks.push_back({"group v1", 1, 0, root});
    PskGroup child{samplePskNode("Child", 0)};
    child.node.visibility = 0.25f;
    child.node.flagB = true;
    chunks.push_back({"group v2", 2, 1, child});

    PskCamera still{samplePskNode("Still", 0), 0.785398f, 1.0f, 1000.0f, std::nullopt};
    chunks.push_back({"camera v1", 1, 2, still});
    PskCamera none{samplePskNode("Empty list", 0), 0.5f, 2.0f, 500.0f, PskCameraSwitches{}};
    chunks.push_back({"camera v2 without switches", 2, 3, none});
    PskCamera cut{samplePskNode("Cut", 0), 1.0f, 0.5f, 800.0f, PskCameraSwitches{{0, 5000, 2500}, 7, 10000}};
    cut.node.visibility = 1.0f;
    chunks.push_back({"camera v3 with switches", 3, 4, cut});

    PskLight lamp{samplePskNode("Lamp", 1), 2, PskColour::fromArgb(0x00FFEEDDu), 1.5f, {1.0f, 0.1f, 0.01f},
                  250.0f, 20.0f, 45.0f, true, PskColour::fromArgb(0x80000000u)};
    lamp.node.visibility = 0.75f;
    chunks.push_back({"light", 2, 5, lamp});

    PskVertexBuffer plain{1, kPskHasNormals | kPskHasTexCoords0 | kPskHasTexCoords1, 0xBEEF, {}, {}};
    for (int i = 0; i < 3; ++i) {
        const float f = static_cast<float>(i);
        plain.vertices.push_back({{f, f + 1, f + 2}, {0, 0, 1}, {f / 2, 1 - f / 2}, {0.25f, f}});
    }
    chunks.push_back({"vertex buffer", 1, 6, plain});
    PskVertexBuffer morph{3, kPskHasNormals | kPskHasTexCoords0, 0, {}, {}};
    for (int i = 0; i < 2; ++i)
        morph.vertices.push_back({{0, static_cast<float>(i), 0}, {1, 0, 0}, {0.5f, 0.5f}, {}});
    morph.laterFramePositions = {0, 0, 1, 0, 1, 1, 0, 0, 2, 0, 1, 2};
    chunks.push_back({"vertex buffer with 3 frames", 1, 7, morph});

    chunks.push_back({"index buffer", 1, 8, PskIndexBuffer{{0, 1, 2, 2, 1, 0, 65535}}});

    PskMaterial lit;
    lit.diffuse = PskColour::fromArgb(0xFFFF0000u);
    lit.specular = PskColour::fromArgb(0xFFFFFFFFu);
    lit.ambient = PskColour::fromArgb(0xFF101010u);
    lit.selfIllumination = PskColour::fromArgb(0x00800000u);
    lit.glossiness = 0.3f;
    lit.specularLevel = 0.8f;
    lit.blendMode = 2;
    lit.opacity = 0.9f;
    lit.diffuseMap = 11;
    chunks.push_back({"material v1", 1, 9, lit});
    PskMaterial glowing = lit;
    glowing.additiveMap = 12;
    glowing.sphereReflectionMap = 12;
    chunks.push_back({"material v2", 2, 10, glowing});

    chunks.push_back({"texture", 1, 11, PskTexture{"wood.tga"}});
    chunks.push_back({"texture in a folder", 1, 12, PskTexture{"maps/glow.png"}});

    PskMesh mesh{1, "Box01", 6, 8, {{0, 9, 0xDEAD, 3, 0}, {3, 10, 0, 3, 0xFF}}};
    chunks.push_back({"mesh", 1, 13, mesh});
    chunks.push_back({"sprite", 1, 14, PskSprite{1, 11, 12.5f, true}});

    PskTransformTrack spin{1, {0, 2000, 0, 2000}, kPskTrackRotation, {}};
    spin.samples.push_back({{}, {0, 0, 0, 1}, {}});
    spin.samples.push_back({{}, {0, 1, 0, 0}, {}});
    chunks.push_back({"transform track, rotation only", 1, 0, spin});
    PskTransformTrack full{0, {1, 1000, 100, 900}, kPskTrackPosition | kPskTrackRotation | kPskTrackScale, {}};
    full.samples.push_back({{1, 2, 3}, {0, 0, 0, 1}, {1, 1, 1}});
    chunks.push_back({"transform track, every component", 1, 0, full});
    chunks.push_back({"vertex track", 1, 0, PskVertexTrack{7, {0, 3000, 0, 3000}}});
    chunks.push_back({"float track", 1, 0, PskFloatTrack{9, "OPACITY", {0, 1000, 0, 1000}, {0.0f, 0.5f, 1.0f}}});
    return chunks;
}

std::vector<std::uint8_t> writePskChunks(const std::vector<PskSampleChunk>& chunks)
{
    PskWriter writer;
    for (const PskSampleChunk& chunk : chunks)
        writer.chunk(chunk.version, chunk.objectIndex, chunk.payload);
    return writer.bytes();
}

namespace {

std::string seedName(const std::string& label)
{
    std::string name;
    for (char c : label)
        name += (c == ' ' || c == ',') ? '_' : c;
    return name + ".psk";
}

} // namespace

std::map<std::string, std::vector<std::uint8_t>> pskFuzzSeeds()
{
    std::map<std::string, std::vector<std::uint8_t>> seeds;
    const std::vector<PskSampleChunk> chunks = samplePskChunks();
    const std::vector<std::uint8_t> scene = writePskChunks(chunks);
    seeds["scene.psk"] = scene;
    for (const PskSampleChunk& chunk : chunks)
        seeds[seedName(chunk.label)] = writePskChunks({chunk});

    seeds["damaged_cut_in_a_payload.psk"] = std::vector<std::uint8_t>(scene.begin(), scene.begin() + scene.size() / 2);
    PskWriter unknown;
    unknown.chunk(1, 0, PskTexture{"a.tga"}).rawChunk(14, 1, 0, std::vector<std::uint8_t>(4, 0));
    seeds["damaged_unknown_chunk.psk"] = unknown.bytes();
    PskWriter shortString;
    shortString.rawChunk(static_cast<std::uint16_t>(PskChunkType::Texture), 1, 0,
                         PskPayloadBuilder().u16(40).string("x").bytes());
    seeds["damaged_string_past_payload.psk"] = shortString.bytes();
    return seeds;
}
