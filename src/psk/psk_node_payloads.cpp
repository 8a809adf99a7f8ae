// Node records and the chunks built on them (group, camera, light), and the ambient colour.
#include "psk/psk_chunk_type.h"
#include "psk/psk_payload_readers.h"

namespace {

// NaN fails both comparisons of a plain clamp and would survive it; it becomes 0 here so
// the stored visibility is always inside [0, 1].
float clampVisibility(float value)
{
    if (!(value > 0.0f))
        return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

constexpr float kNearFloor = 0.00001f;

} // namespace

PskColour readPskColour(PskCursor& cursor, const char* field)
{
    return PskColour::fromArgb(cursor.u32(field));
}

PskNodeRecord readPskNodeRecord(PskCursor& cursor, std::uint16_t type, std::uint16_t version)
{
    PskNodeRecord node;
    node.parent = cursor.i32("parent index");
    node.name = cursor.string("node name");
    cursor.f32s(node.transform.position.data(), 3, "position");
    cursor.f32s(node.transform.rotation.data(), 4, "rotation");
    cursor.f32s(node.transform.scale.data(), 3, "scale");
    node.properties = cursor.string("property text");
    node.flagA = cursor.u8("flag A") != 0;
    node.flagB = cursor.u8("flag B") != 0;
    if (pskNodeHasVisibility(type, version))
        node.visibility = clampVisibility(cursor.f32("visibility"));
    return node;
}

PskAmbient readPskAmbient(PskCursor& cursor, std::uint16_t)
{
    return {readPskColour(cursor, "ambient colour")};
}

PskGroup readPskGroup(PskCursor& cursor, std::uint16_t version)
{
    return {readPskNodeRecord(cursor, static_cast<std::uint16_t>(PskChunkType::Group), version)};
}

PskCamera readPskCamera(PskCursor& cursor, std::uint16_t version)
{
    PskCamera camera;
    camera.node = readPskNodeRecord(cursor, static_cast<std::uint16_t>(PskChunkType::Camera), version);
    camera.fieldOfView = cursor.f32("field of view");
    camera.nearDistance = cursor.f32("near distance");
    camera.farDistance = cursor.f32("far distance");
    if (camera.nearDistance < kNearFloor)
        camera.nearDistance = camera.farDistance * kNearFloor;
    if (!pskCameraHasSwitches(version))
        return camera;
    PskCameraSwitches& switches = camera.switches.emplace();
    const std::uint64_t countOffset = cursor.offset();
    const std::uint32_t count = cursor.u32("switch count");
    if (count == 0 || !cursor.fits(std::uint64_t{count} + 2, 4, countOffset, "switch count"))
        return camera;
    switches.activationTimes.resize(count);
    for (std::uint32_t& time : switches.activationTimes)
        time = cursor.u32("switch time");
    switches.unusedTime = cursor.u32("switch list time value");
    switches.loopLength = cursor.u32("switch loop length");
    return camera;
}

PskLight readPskLight(PskCursor& cursor, std::uint16_t version)
{
    PskLight light;
    light.node = readPskNodeRecord(cursor, static_cast<std::uint16_t>(PskChunkType::Light), version);
    light.lightType = cursor.u8("light type");
    light.colour = readPskColour(cursor, "light colour");
    light.intensity = cursor.f32("intensity");
    cursor.f32s(light.attenuation.data(), 3, "attenuation");
    light.range = cursor.f32("range");
    light.innerCone = cursor.f32("inner cone");
    light.outerCone = cursor.f32("outer cone");
    light.castsShadow = cursor.u8("casts-shadow flag") != 0;
    light.shadowColour = readPskColour(cursor, "shadow colour");
    return light;
}
