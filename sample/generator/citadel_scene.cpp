#include "scene_kit.h"
#include "scenes.h"

#include "psk/psk_writer.h"

#include <cmath>

namespace {

// A camera circling the plaza once every 16 s, looking at the crystal.
PskTransformTrack orbitTrack(std::uint32_t camera)
{
    PskTransformTrack track{camera, {0, 16000, 0, 16000}, kPskTrackPosition | kPskTrackRotation, {}};
    for (int k = 0; k <= 32; ++k) {
        const float angle = 6.2831853f * static_cast<float>(k) / 32.0f;
        const PskVec3 eye{17.0f * std::sin(angle), -17.0f * std::cos(angle), 5.0f + 2.0f * std::sin(2 * angle)};
        track.samples.push_back({eye, lookAt(eye, {0, 0, 2.0f}), {}});
    }
    return track;
}

PskLight light(const PskNodeRecord& node, std::uint8_t type, std::uint32_t argb, float intensity, float range,
               float inner = 0, float outer = 0)
{
    return PskLight{node, type, PskColour::fromArgb(argb), intensity, {1, 0.0f, 0.0f}, range, inner, outer, false,
                    PskColour::fromArgb(0)};
}

} // namespace

std::vector<std::uint8_t> citadelScene()
{
    ObjectIds id;
    const std::uint32_t sky = id(), root = id(), orbit = id(), close = id(), top = id();
    const std::uint32_t pulse = id(), beam = id(), sun = id(), floor = id(), crystal = id(), halo = id();
    const std::uint32_t skyVb = id(), skyIb = id(), floorVb = id(), floorIb = id(), boxVb = id(), boxIb = id();
    const std::uint32_t crystalVb = id(), crystalIb = id();
    const std::uint32_t skyTex = id(), floorTex = id(), stoneTex = id(), crystalTex = id(), sparkTex = id();
    const std::uint32_t skyMat = id(), floorMat = id(), stoneMat = id(), crystalMat = id(), capMat = id();

    PskWriter writer;
    writer.chunk(1, 0, PskAmbient{PskColour::fromArgb(0xFF504860u)})
        .chunk(1, sky, PskGroup{nodeRecord("Sky", -1, {0, 0, 0}, {0, 0, 0, 1}, {60, 60, 60}, "skybox=1")})
        .chunk(1, root, PskGroup{nodeRecord("Plaza", -1, {0, 0, 0})});
    // Cut by time: Orbit, then Close at 4 s, Top at 8 s, Orbit again at 12 s, every 16 s.
    const auto camera = [&](std::uint32_t index, const char* name, PskVec3 eye, PskVec3 target,
                            std::vector<std::uint32_t> times) {
        writer.chunk(2, index,
                     PskCamera{nodeRecord(name, static_cast<std::int32_t>(root), eye, lookAt(eye, target)), 0.9f, 0.5f,
                               300.0f, PskCameraSwitches{std::move(times), 0, 16000}});
    };
    camera(orbit, "Orbit", {0, -17, 5}, {0, 0, 2}, {1, 12000});
    camera(close, "Close", {-1.5f, -7.5f, 1.6f}, {0, 0, 3.0f}, {4000});
    camera(top, "Top", {1.0f, -9, 22}, {0, 0, 0}, {8000});

    // The point light beats with the kick: bright on every beat, fading between.
    const char* pulseKeys = "animations=1\na0.field=Intensity\na0.looping=1\na0.keyframes=3\n"
                            "a0.kf0=0 1.1\na0.kf1=350 0.2\na0.kf2=500 1.1\n";
    writer.chunk(1, pulse, light(nodeRecord("Pulse", static_cast<std::int32_t>(root), {0, 0, 5.5f}, {0, 0, 0, 1}, {1, 1, 1}, pulseKeys),
                                 1, 0xFFFF9040u, 1.1f, 40.0f))
        .chunk(1, beam, light(nodeRecord("Beam", static_cast<std::int32_t>(root), {0, 0, 16}, aboutAxis(0, -1.5707964f)), 2,
                              0xFF80B0FFu, 1.2f, 60.0f, 12.0f, 28.0f))
        .chunk(1, sun, light(nodeRecord("Dusk", static_cast<std::int32_t>(root), {0, 0, 30}, aboutAxis(0, -0.9f)), 3,
                             0xFFA070C0u, 0.6f, 1000.0f));

    PskVertexBuffer skyV, floorV, boxV, crystalV;
    PskIndexBuffer skyI, floorI, boxI, crystalI;
    const std::uint32_t skyCount = addBox(skyV, skyI, {1, 1, 1}, true);
    const std::uint32_t floorCount = addGrid(floorV, floorI, 16, 40.0f, 10.0f);
    const std::uint32_t boxCount = addBox(boxV, boxI, {0.6f, 0.6f, 3.0f}, false);
    const std::uint32_t crystalCount = addCrystal(crystalV, crystalI, 1.1f, 3.4f);

    writer.chunk(1, floor, PskGroup{nodeRecord("Floor", static_cast<std::int32_t>(root), {0, 0, 0})})
        .chunk(1, crystal, PskGroup{nodeRecord("Crystal", static_cast<std::int32_t>(root), {0, 0, 2.4f})})
        // The halo is another file, played at half speed.
        .chunk(1, halo, PskGroup{nodeRecord("Halo", static_cast<std::int32_t>(root), {0, 0, 2.4f}, {0, 0, 0, 1}, {1.2f, 1.2f, 1.2f},
                                            "loader=psk\nfilename=ring.psk\nanimscale=2\nlooping=1\n")})
        .chunk(1, skyVb, skyV).chunk(1, skyIb, skyI).chunk(1, floorVb, floorV).chunk(1, floorIb, floorI)
        .chunk(1, boxVb, boxV).chunk(1, boxIb, boxI).chunk(1, crystalVb, crystalV).chunk(1, crystalIb, crystalI)
        .chunk(1, skyTex, PskTexture{"dusk.tga"})
        .chunk(1, floorTex, PskTexture{"tiles.png"})
        .chunk(1, stoneTex, PskTexture{"stone.jpg"})
        .chunk(1, crystalTex, PskTexture{kCrystalTexture})
        .chunk(1, sparkTex, PskTexture{"spark.tga"})
        .chunk(2, skyMat, makeMaterial(0xFFFFFFFFu, 1.0f, 0, 0.0f, skyTex))
        .chunk(2, floorMat, makeMaterial(0xFFFFFFFFu, 1.0f, 0, 0.0f, floorTex))
        .chunk(2, stoneMat, makeMaterial(0xFFE0D8D0u, 1.0f, 0, 0.0f, stoneTex))
        .chunk(2, crystalMat, makeMaterial(0xFFFFFFFFu, 0.85f, 2, 0.2f, crystalTex))
        .chunk(2, capMat, makeMaterial(0xFFFF8030u, 1.0f, 0, 0.35f, 0xFFFFFFFFu))
        .chunk(1, id(), PskMesh{sky, "SkyMesh", skyVb, skyIb, {{0, skyMat, 0, skyCount, 0}}})
        .chunk(1, id(), PskMesh{floor, "FloorMesh", floorVb, floorIb, {{0, floorMat, 0, floorCount, 0}}})
        .chunk(1, id(), PskMesh{crystal, "CrystalMesh", crystalVb, crystalIb, {{0, crystalMat, 0, crystalCount, 0}}});

    // Four pillars with glowing caps, each cap a sprite.
    for (int k = 0; k < 4; ++k) {
        const float angle = 0.7853982f + 1.5707964f * static_cast<float>(k);
        const PskVec3 at{6.5f * std::cos(angle), 6.5f * std::sin(angle), 3.0f};
        const std::uint32_t pillar = id(), cap = id();
        writer.chunk(1, pillar, PskGroup{nodeRecord("Pillar" + std::to_string(k), static_cast<std::int32_t>(root), at)})
            .chunk(1, id(), PskMesh{pillar, "PillarMesh", boxVb, boxIb, {{0, stoneMat, 0, 12, 0}, {12, capMat, 0, 6, 0}, {18, stoneMat, 0, boxCount - 18, 0}}})
            .chunk(1, cap, PskGroup{nodeRecord("Cap" + std::to_string(k), static_cast<std::int32_t>(pillar), {0, 0, 3.6f})})
            .chunk(1, id(), PskSprite{cap, sparkTex, 1.0f, false});
    }

    // The crystal turns once every 4 s and bobs once a bar (sampled); the beam breathes with
    // the phrase, brightest every 8 s.
    PskTransformTrack spin{crystal, {0, 4000, 0, 4000}, kPskTrackRotation | kPskTrackPosition, {}};
    for (int k = 0; k <= 8; ++k) {
        const float z = 2.4f + 0.35f * std::sin(1.5707964f * static_cast<float>(k));
        spin.samples.push_back({{0, 0, z}, aboutAxis(2, 0.7853982f * static_cast<float>(k)), {}});
    }
    PskFloatTrack breathe{beam, "Intensity", {0, 8000, 0, 8000}, {}};
    for (int k = 0; k <= 16; ++k) breathe.samples.push_back(0.3f + 0.6f * std::pow(std::cos(0.19634954f * static_cast<float>(k)), 2.0f));
    writer.chunk(1, 0, orbitTrack(orbit)).chunk(1, 0, spin).chunk(1, 0, breathe);
    return writer.bytes();
}
