#include "scene_kit.h"
#include "scenes.h"

#include "psk/psk_writer.h"

#include <cmath>

std::vector<std::uint8_t> ringScene()
{
    ObjectIds id;
    const std::uint32_t ring = id(), vertices = id(), indices = id(), spark = id(), cubeMaterial = id();
    PskWriter writer;
    writer.chunk(1, ring, PskGroup{nodeRecord("Ring", -1, {0, 0, 0})});
    // One turn every four seconds, sampled at quarter turns.
    PskTransformTrack spin{ring, {0, 4000, 0, 4000}, kPskTrackRotation, {}};
    for (int k = 0; k <= 4; ++k) spin.samples.push_back({{}, aboutAxis(2, 1.5707964f * static_cast<float>(k)), {}});

    PskVertexBuffer cubeVertices;
    PskIndexBuffer cubeIndices;
    const std::uint32_t cubeCount = addBox(cubeVertices, cubeIndices, {0.25f, 0.25f, 0.25f}, false);
    writer.chunk(1, vertices, cubeVertices).chunk(1, indices, cubeIndices)
        .chunk(1, spark, PskTexture{"spark.tga"})
        .chunk(2, cubeMaterial, makeMaterial(0xFF60C0FFu, 1.0f, 0, 0.35f, 0xFFFFFFFFu));
    for (int k = 0; k < 12; ++k) {
        const float angle = 6.2831853f * static_cast<float>(k) / 12.0f;
        const PskVec3 at{3.0f * std::cos(angle), 3.0f * std::sin(angle), 0.3f * std::sin(3 * angle)};
        const std::uint32_t node = id();
        writer.chunk(1, node, PskGroup{nodeRecord("RingPoint" + std::to_string(k), static_cast<std::int32_t>(ring), at,
                                                  aboutAxis(2, angle))});
        if (k % 3 == 0)
            writer.chunk(1, id(), PskMesh{node, "RingCube", vertices, indices, {{0, cubeMaterial, 0, cubeCount, 0}}});
        else
            writer.chunk(1, id(), PskSprite{node, spark, k % 3 == 1 ? 0.45f : 0.3f, false});
    }
    writer.chunk(1, 0, spin);
    return writer.bytes();
}
