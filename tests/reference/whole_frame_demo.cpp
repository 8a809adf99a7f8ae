#include "reference/whole_frame_demo.h"

#include "psk/psk_writer.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

// File object indices.
enum : std::uint32_t {
    kRoot, kFront, kSide, kLamp, kTilt, kBox, kSky, kSpriteA, kSpriteB, kSpriteC,
    kBoxVertices, kBoxIndices, kSkyVertices, kSkyIndices, kBoxMesh, kSkyMesh,
    kCheckerTexture, kSkyTexture, kGlowTexture, kOpaqueMaterial, kGlowingMaterial, kSkyMaterial,
};

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An uncompressed TGA, top row first: 24-bit without alpha, 32-bit with.
std::vector<std::uint8_t> tga(int side, bool alpha, std::uint32_t (*argbAt)(int x, int y))
{
    std::vector<std::uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = static_cast<std::uint8_t>(side);
    bytes[14] = static_cast<std::uint8_t>(side);
    bytes[16] = alpha ? 32 : 24;
    bytes[17] = alpha ? 0x28 : 0x20;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const std::uint32_t argb = argbAt(x, y);
            bytes.push_back(static_cast<std::uint8_t>(argb));
            bytes.push_back(static_cast<std::uint8_t>(argb >> 8));
            bytes.push_back(static_cast<std::uint8_t>(argb >> 16));
            if (alpha) bytes.push_back(static_cast<std::uint8_t>(argb >> 24));
        }
    }
    return bytes;
}

PskNodeRecord node(const std::string& name, std::int32_t parent, PskVec3 position, PskQuat rotation = {0, 0, 0, 1},
                   PskVec3 scale = {1, 1, 1}, const std::string& properties = "")
{
    PskNodeRecord record;
    record.name = name;
    record.parent = parent;
    record.transform.position = position;
    record.transform.rotation = rotation;
    record.transform.scale = scale;
    record.properties = properties;
    return record;
}

PskQuat aboutAxis(int axis, float radians)
{
    PskQuat q{0, 0, 0, std::cos(radians / 2)};
    q[static_cast<std::size_t>(axis)] = std::sin(radians / 2);
    return q;
}

// A unit cube, four vertices a face; faces wound to be seen from outside, or from inside.
void cube(bool inside, PskVertexBuffer& vertices, PskIndexBuffer& indices)
{
    vertices.attributeFlags = 1u | 4u;
    for (int face = 0; face < 6; ++face) {
        const int axis = face % 3;
        const float sign = face < 3 ? 1.0f : -1.0f;
        PskVec3 n{}, t1{}, t2{};
        n[axis] = sign;
        t1[(axis + (sign > 0 ? 1 : 2)) % 3] = 1.0f;
        t2[(axis + (sign > 0 ? 2 : 1)) % 3] = 1.0f;
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        const auto base = static_cast<std::uint16_t>(vertices.vertices.size());
        for (const auto& c : corners) {
            PskVertex v;
            for (int i = 0; i < 3; ++i) v.position[i] = n[i] + c[0] * t1[i] + c[1] * t2[i];
            v.normal = inside ? PskVec3{-n[0], -n[1], -n[2]} : n;
            v.texCoords0 = {(c[0] + 1) / 2, (1 - c[1]) / 2};
            vertices.vertices.push_back(v);
        }
        const std::uint16_t outward[] = {0, 1, 2, 0, 2, 3};
        const std::uint16_t inward[] = {0, 2, 1, 0, 3, 2};
        for (std::uint16_t i : inside ? inward : outward) indices.indices.push_back(static_cast<std::uint16_t>(base + i));
    }
}

PskMaterial material(std::uint32_t argb, float opacity, std::uint8_t blendMode, float selfIllumination,
                     std::uint32_t diffuseMap)
{
    PskMaterial m;
    m.diffuse = PskColour::fromArgb(argb);
    m.ambient = PskColour::fromArgb(argb);
    m.specular = PskColour::fromArgb(0xFFFFFFFFu);
    m.selfIllumination = PskColour::fromArgb(0xFF000000u | static_cast<std::uint32_t>(selfIllumination * 255) << 16);
    m.glossiness = 0.3f;
    m.specularLevel = 0.6f;
    m.blendMode = blendMode;
    m.opacity = opacity;
    m.diffuseMap = diffuseMap;
    m.additiveMap = 0xFFFFFFFFu;
    return m;
}

std::vector<std::uint8_t> sceneFile()
{
    PskVertexBuffer boxVertices, skyVertices;
    PskIndexBuffer boxIndices, skyIndices;
    cube(false, boxVertices, boxIndices);
    cube(true, skyVertices, skyIndices);
    // The box turns once about its own Z axis every two seconds.
    PskTransformTrack spin{kBox, {0, 2000, 0, 2000}, kPskTrackRotation, {}};
    for (int k = 0; k <= 4; ++k) spin.samples.push_back({{}, aboutAxis(2, 1.5707964f * static_cast<float>(k)), {}});

    PskWriter writer;
    writer.chunk(1, 0, PskAmbient{PskColour::fromArgb(0xFF303030u)})
        // The last top-level node is the scene's root: the sky stays outside the tree.
        .chunk(1, kSky, PskGroup{node("Sky", -1, {0, 0, 0}, {0, 0, 0, 1}, {60, 60, 60}, "skybox=1")})
        .chunk(1, kRoot, PskGroup{node("Root", -1, {0, 0, 0})})
        .chunk(1, kFront, PskCamera{node("Front", kRoot, {0, 0, 0}), 0.8f, 1.0f, 200.0f, std::nullopt})
        .chunk(1, kSide, PskCamera{node("Side", kRoot, {8, 0, 1}, aboutAxis(2, -0.588f)), 0.8f, 1.0f, 200.0f, std::nullopt})
        .chunk(1, kLamp,
               PskLight{node("Lamp", kRoot, {4, -4, 6}), 1, PskColour::fromArgb(0xFFFFFFFFu), 1.2f, {1, 0, 0}, 100.0f, 0,
                        0, false, PskColour::fromArgb(0)})
        .chunk(1, kTilt, PskGroup{node("Tilt", kRoot, {0, -12, 0}, aboutAxis(0, 0.5f))})
        .chunk(1, kBox, PskGroup{node("Box", kTilt, {0, 0, 0}, {0, 0, 0, 1}, {1.6f, 1.6f, 1.6f})})
        .chunk(1, kSpriteA, PskGroup{node("SpriteA", kRoot, {-4, -8, 2})})
        .chunk(1, kSpriteB, PskGroup{node("SpriteB", kRoot, {0, -8, 2.4f})})
        .chunk(1, kSpriteC, PskGroup{node("SpriteC", kRoot, {4, -8, 2})})
        .chunk(1, kBoxVertices, boxVertices)
        .chunk(1, kBoxIndices, boxIndices)
        .chunk(1, kSkyVertices, skyVertices)
        .chunk(1, kSkyIndices, skyIndices)
        .chunk(1, kCheckerTexture, PskTexture{"checker.tga"})
        .chunk(1, kSkyTexture, PskTexture{"sky.tga"})
        .chunk(1, kGlowTexture, PskTexture{"glow.tga"})
        .chunk(2, kOpaqueMaterial, material(0xFFFFFFFFu, 1.0f, 0, 0.0f, kCheckerTexture))
        .chunk(2, kGlowingMaterial, material(0xFFFF8040u, 0.5f, 2, 0.3f, 0xFFFFFFFFu))
        .chunk(2, kSkyMaterial, material(0xFFFFFFFFu, 1.0f, 0, 0.0f, kSkyTexture))
        .chunk(1, kBoxMesh, PskMesh{kBox, "BoxMesh", kBoxVertices, kBoxIndices, {{0, kOpaqueMaterial, 0, 18, 0}, {18, kGlowingMaterial, 0, 18, 0}}})
        .chunk(1, kSkyMesh, PskMesh{kSky, "SkyMesh", kSkyVertices, kSkyIndices, {{0, kSkyMaterial, 0, 36, 0}}})
        .chunk(1, 30, PskSprite{kSpriteA, kGlowTexture, 0.6f, false})
        .chunk(1, 31, PskSprite{kSpriteB, kGlowTexture, 0.9f, false})
        .chunk(1, 32, PskSprite{kSpriteC, kGlowTexture, 0.6f, true})
        .chunk(1, 0, spin);
    return writer.bytes();
}

std::uint32_t checker(int x, int y) { return ((x / 8 + y / 8) % 2) ? 0xFFE0E0E0u : 0xFF3050A0u; }

std::uint32_t skyGradient(int x, int y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(20 + y * 3) << 16 | static_cast<std::uint32_t>(30 + x * 2) << 8 |
           static_cast<std::uint32_t>(90 + y * 4);
}

std::uint32_t glowBlob(int x, int y)
{
    const float dx = (static_cast<float>(x) - 15.5f) / 16.0f, dy = (static_cast<float>(y) - 15.5f) / 16.0f;
    const float fall = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
    const auto level = static_cast<std::uint32_t>(fall * 255.0f);
    return level << 24 | level << 16 | (level * 3 / 4) << 8 | level / 3;
}

} // namespace

void writeWholeFrameDemo(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    writeFile(folder / "scene.psk", sceneFile());
    writeFile(folder / "checker.tga", tga(32, false, checker));
    writeFile(folder / "sky.tga", tga(32, false, skyGradient));
    writeFile(folder / "glow.tga", tga(32, true, glowBlob));
    std::ofstream(folder / "demo.psc") << "loadscene scene.psk s\nplayscene s\nwait 600\nsetactivecamera Side\nwait 1000\n";
}
