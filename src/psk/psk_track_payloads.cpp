// Sampled animation chunks: transform, vertex and float tracks, and the dispatch over all types.
#include "psk/psk_chunk_type.h"
#include "psk/psk_payload_readers.h"

namespace {

PskTrackTimes readTimes(PskCursor& cursor)
{
    PskTrackTimes times;
    times.unused = cursor.u32("unused time value");
    times.loopLength = cursor.u32("loop length");
    times.start = cursor.u32("start time");
    times.end = cursor.u32("end time");
    return times;
}

std::uint64_t transformSampleSize(std::uint32_t flags)
{
    return ((flags & kPskTrackPosition) ? 12 : 0) + ((flags & kPskTrackRotation) ? 16 : 0) +
           ((flags & kPskTrackScale) ? 12 : 0);
}

} // namespace

PskTransformTrack readPskTransformTrack(PskCursor& cursor, std::uint16_t)
{
    PskTransformTrack track;
    track.node = cursor.u32("node index");
    track.times = readTimes(cursor);
    track.componentFlags = cursor.u32("component flags");
    const std::uint64_t countOffset = cursor.offset();
    const std::uint32_t count = cursor.u32("sample count");
    const std::uint32_t flags = track.componentFlags;
    // Samples that hold no component take no bytes; their number is still held to the
    // payload's size so that a count alone cannot make the loader allocate gigabytes.
    const std::uint64_t size = transformSampleSize(flags);
    if (!cursor.fits(count, size == 0 ? 1 : size, countOffset, "sample count"))
        return track;
    track.samples.resize(count);
    for (PskTransformSample& sample : track.samples) {
        if (flags & kPskTrackPosition)
            cursor.f32s(sample.position.data(), 3, "sample position");
        if (flags & kPskTrackRotation)
            cursor.f32s(sample.rotation.data(), 4, "sample rotation");
        if (flags & kPskTrackScale)
            cursor.f32s(sample.scale.data(), 3, "sample scale");
    }
    return track;
}

PskVertexTrack readPskVertexTrack(PskCursor& cursor, std::uint16_t)
{
    PskVertexTrack track;
    track.vertexBuffer = cursor.u32("vertex buffer index");
    track.times = readTimes(cursor);
    return track;
}

PskFloatTrack readPskFloatTrack(PskCursor& cursor, std::uint16_t)
{
    PskFloatTrack track;
    track.target = cursor.u32("target index");
    track.controlField = cursor.string("control-field name");
    track.times = readTimes(cursor);
    const std::uint64_t countOffset = cursor.offset();
    const std::uint32_t count = cursor.u32("sample count");
    if (!cursor.fits(count, 4, countOffset, "sample count"))
        return track;
    track.samples.resize(count);
    cursor.f32s(track.samples.data(), count, "sample");
    return track;
}

PskPayload readPskPayload(PskCursor& cursor, std::uint16_t type, std::uint16_t version)
{
    switch (static_cast<PskChunkType>(type)) {
    case PskChunkType::Ambient: return readPskAmbient(cursor, version);
    case PskChunkType::Group: return readPskGroup(cursor, version);
    case PskChunkType::Mesh: return readPskMesh(cursor, version);
    case PskChunkType::Camera: return readPskCamera(cursor, version);
    case PskChunkType::Light: return readPskLight(cursor, version);
    case PskChunkType::VertexBuffer: return readPskVertexBuffer(cursor, version);
    case PskChunkType::IndexBuffer: return readPskIndexBuffer(cursor, version);
    case PskChunkType::Material: return readPskMaterial(cursor, version);
    case PskChunkType::Texture: return readPskTexture(cursor, version);
    case PskChunkType::TransformTrack: return readPskTransformTrack(cursor, version);
    case PskChunkType::VertexTrack: return readPskVertexTrack(cursor, version);
    case PskChunkType::FloatTrack: return readPskFloatTrack(cursor, version);
    case PskChunkType::Sprite: return readPskSprite(cursor, version);
    }
    return PskAmbient{};
}
