#include "scene_kit.h"
#include "scenes.h"

#include "psk/psk_writer.h"

#include <cmath>

namespace {

constexpr std::uint32_t kWaveFrames = 16;

// The sea's height at a point, one loop of the swell being phase 0 to 2π.
float swell(float x, float y, float phase)
{
    return 0.45f * std::sin(0.35f * x + phase) + 0.25f * std::sin(0.5f * y - 0.6f * x + 2.0f * phase);
}

PskLight light(const PskNodeRecord& node, std::uint8_t type, std::uint32_t argb, float intensity, float range,
               float inner = 0, float outer = 0)
{
    return PskLight{node, type, PskColour::fromArgb(argb), intensity, {1, 0.02f, 0.0f}, range, inner, outer, false,
                    PskColour::fromArgb(0)};
}

} // namespace

std::vector<std::uint8_t> oceanScene()
{
    ObjectIds id;
    const std::uint32_t sky = id(), root = id(), drift = id(), low = id(), high = id();
    const std::uint32_t moon = id(), buoy = id(), sea = id(), tower = id(), lamp = id(), beam = id(), crown = id();
    const std::uint32_t skyVb = id(), skyIb = id(), seaVb = id(), seaIb = id(), towerVb = id(), towerIb = id();
    const std::uint32_t skyTex = id(), seaTex = id(), sparkTex = id(), stoneTex = id();
    const std::uint32_t skyMat = id(), seaMat = id(), towerMat = id(), lampMat = id();
    const auto under = [](std::uint32_t parent) { return static_cast<std::int32_t>(parent); };

    PskWriter writer;
    writer.chunk(1, 0, PskAmbient{PskColour::fromArgb(0xFF707890u)})
        .chunk(1, sky, PskGroup{nodeRecord("Sky", -1, {0, 0, 0}, {0, 0, 0, 1}, {80, 80, 80}, "skybox=1")})
        .chunk(1, root, PskGroup{nodeRecord("Sea", -1, {0, 0, 0})});
    const PskVec3 driftEye{-6, -30, 3};
    writer.chunk(2, drift, PskCamera{nodeRecord("Drift", under(root), driftEye, lookAt(driftEye, {0, 0, 4})), 0.9f, 0.5f, 400.0f, std::nullopt})
        .chunk(2, low, PskCamera{nodeRecord("Low", under(root), {-10, -6, 1.2f}, lookAt({-10, -6, 1.2f}, {0, 14, 5})), 1.0f, 0.5f, 400.0f, std::nullopt})
        .chunk(2, high, PskCamera{nodeRecord("High", under(root), {-22, -22, 16}, lookAt({-22, -22, 16}, {0, 4, 2})), 0.8f, 0.5f, 400.0f, std::nullopt})
        .chunk(1, moon, light(nodeRecord("Moon", under(root), {0, 0, 50}, aboutAxis(0, -0.7f)), 3, 0xFF8090C0u, 0.8f, 1000.0f))
        .chunk(1, buoy, light(nodeRecord("Buoy", under(root), {6, 2, 2.5f}), 1, 0xFFFF7020u, 1.5f, 30.0f))
        .chunk(1, sea, PskGroup{nodeRecord("Water", under(root), {0, 6, 0})})
        .chunk(1, tower, PskGroup{nodeRecord("Tower", under(root), {0, 14, 4})})
        .chunk(1, lamp, PskGroup{nodeRecord("Lamp", under(tower), {0, 0, 4.6f})})
        .chunk(1, beam, light(nodeRecord("Beam", under(lamp), {0, 0, 0}), 2, 0xFFFFF0C0u, 2.0f, 80.0f, 8.0f, 20.0f))
        .chunk(1, crown, PskGroup{nodeRecord("Crown", under(root), {6, 2, 3.2f}, {0, 0, 0, 1}, {0.8f, 0.8f, 0.8f},
                                             "loader=psk\nfilename=ring.psk\nanimoffset=1000\nlooping=1\n")});

    PskVertexBuffer skyV, seaV, towerV;
    PskIndexBuffer skyI, seaI, towerI;
    const std::uint32_t skyCount = addBox(skyV, skyI, {1, 1, 1}, true);
    const std::uint32_t seaCount = addGrid(seaV, seaI, 24, 64.0f, 8.0f);
    for (PskVertex& v : seaV.vertices) v.position[2] = swell(v.position[0], v.position[1], 0.0f);
    // The last frame equals the first, so the loop has no seam.
    addVertexFrames(seaV, kWaveFrames, [](const PskVec3& p, std::uint32_t frame) {
        const float phase = 6.2831853f * static_cast<float>(frame) / static_cast<float>(kWaveFrames - 1);
        return PskVec3{p[0], p[1], swell(p[0], p[1], phase)};
    });
    const std::uint32_t towerCount = addBox(towerV, towerI, {1.0f, 1.0f, 4.0f}, false);

    writer.chunk(1, skyVb, skyV).chunk(1, skyIb, skyI).chunk(1, seaVb, seaV).chunk(1, seaIb, seaI)
        .chunk(1, towerVb, towerV).chunk(1, towerIb, towerI)
        .chunk(1, skyTex, PskTexture{"night.tga"})
        .chunk(1, seaTex, PskTexture{"water.png"})
        .chunk(1, sparkTex, PskTexture{"spark.tga"})
        .chunk(1, stoneTex, PskTexture{"stone.jpg"})
        .chunk(2, skyMat, makeMaterial(0xFFFFFFFFu, 1.0f, 0, 0.0f, skyTex))
        .chunk(2, seaMat, makeMaterial(0xFF70A0D0u, 1.0f, 0, 0.0f, seaTex))
        .chunk(2, towerMat, makeMaterial(0xFFF0E8E0u, 1.0f, 0, 0.0f, stoneTex))
        .chunk(2, lampMat, makeMaterial(0xFFFFE0A0u, 1.0f, 0, 0.6f, 0xFFFFFFFFu))
        .chunk(1, id(), PskMesh{sky, "SkyMesh", skyVb, skyIb, {{0, skyMat, 0, skyCount, 0}}})
        .chunk(1, id(), PskMesh{sea, "WaterMesh", seaVb, seaIb, {{0, seaMat, 0, seaCount, 0}}})
        .chunk(1, id(), PskMesh{tower, "TowerMesh", towerVb, towerIb, {{0, towerMat, 0, 12, 0}, {12, lampMat, 0, 6, 0}, {18, towerMat, 0, towerCount - 18, 0}}})
        .chunk(1, id(), PskSprite{lamp, sparkTex, 3.0f, false})
        .chunk(1, id(), PskSprite{buoy, sparkTex, 1.6f, false});

    // Fireflies over the water: a fixed scatter, the far ones kept out of the glow.
    std::uint32_t seed = 7;
    for (int k = 0; k < 40; ++k) {
        const auto next = [&seed] { seed = seed * 1103515245u + 12345u; return static_cast<float>((seed >> 8) & 0xFFFF) / 65535.0f; };
        const PskVec3 at{-24 + 48 * next(), -10 + 40 * next(), 1.5f + 5 * next()};
        const std::uint32_t node = id();
        writer.chunk(1, node, PskGroup{nodeRecord("Firefly" + std::to_string(k), under(root), at)})
            .chunk(1, id(), PskSprite{node, sparkTex, 0.3f + 0.5f * next(), at[1] > 20});
    }

    // The beam sweeps once every 4 s; the drifting camera glides in over 24 s.
    PskTransformTrack sweep{lamp, {0, 4000, 0, 4000}, kPskTrackRotation, {}};
    for (int k = 0; k <= 8; ++k) sweep.samples.push_back({{}, aboutAxis(2, 0.7853982f * static_cast<float>(k)), {}});
    PskTransformTrack glide{drift, {0, 24000, 0, 24000}, kPskTrackPosition | kPskTrackRotation, {}};
    for (int k = 0; k <= 12; ++k) {
        const float f = static_cast<float>(k) / 12.0f;
        const PskVec3 eye{-6 + 12 * f, -30 + 16 * f, 3 + 2.5f * std::sin(3.1415927f * f)};
        glide.samples.push_back({eye, lookAt(eye, {6 * f, 6 + 4 * f, 3}), {}});
    }
    writer.chunk(1, 0, sweep).chunk(1, 0, glide).chunk(1, 0, PskVertexTrack{seaVb, {0, 2000, 0, 2000}});
    return writer.bytes();
}
