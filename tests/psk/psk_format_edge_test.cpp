// The format's own edge cases, written byte for byte with the payload builder so that what the
// reader consumes is fixed by the bytes, not by the writer's idea of them.
#include "psk_sample_chunks.h"
#include "psk_test_support.h"

#include "psk/psk_chunk_type.h"

namespace {

constexpr std::uint16_t kVertexBuffer = 6;
constexpr std::uint16_t kIndexBuffer = 7;
constexpr std::uint16_t kTransformTrack = 10;

} // namespace

TEST(PskFormatEdges, ThreeFrameBufferWithFlagsFiveReadsEightFloatsThenThreePerVertex)
{
    PskPayloadBuilder payload;
    payload.u32(3).u32(5).u16(0).u32(2);
    // Frame 0: position, normal, first texture coordinates.
    payload.f32s(std::vector<float>{1, 2, 3, 0, 0, 1, 0.25f, 0.75f});
    payload.f32s(std::vector<float>{4, 5, 6, 0, 1, 0, 0.5f, 0.5f});
    // Frames 1 and 2: positions only.
    payload.f32s(std::vector<float>{10, 20, 30, 40, 50, 60});
    payload.f32s(std::vector<float>{11, 21, 31, 41, 51, 61});
    const PskVertexBuffer buffer = readSingle<PskVertexBuffer>(oneChunk(kVertexBuffer, 1, payload));
    EXPECT_EQ(buffer.frameCount, 3u);
    ASSERT_EQ(buffer.vertices.size(), 2u);
    EXPECT_EQ(buffer.vertices[0], (PskVertex{{1, 2, 3}, {0, 0, 1}, {0.25f, 0.75f}, {0, 0}}));
    EXPECT_EQ(buffer.vertices[1], (PskVertex{{4, 5, 6}, {0, 1, 0}, {0.5f, 0.5f}, {0, 0}}));
    EXPECT_EQ(buffer.laterFramePositions, (std::vector<float>{10, 20, 30, 40, 50, 60, 11, 21, 31, 41, 51, 61}));
}

TEST(PskFormatEdges, AttributeFlagsBeyondTheThreeKnownBitsAreIgnored)
{
    const struct {
        std::uint32_t flags;
        std::size_t floatsPerVertex;
    } cases[] = {{0, 3}, {1, 6}, {4, 5}, {8, 5}, {13, 10}, {2, 3}, {0xFFFFFFF2u, 3}, {0xFFFFFFFFu, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        PskPayloadBuilder payload;
        payload.u32(1).u32(c.flags).u16(0).u32(1);
        for (std::size_t i = 0; i < c.floatsPerVertex; ++i)
            payload.f32(static_cast<float>(i + 1));
        const PskFile file = readPskFile(oneChunk(kVertexBuffer, 1, payload));
        ASSERT_FALSE(file.damage) << file.damage->reason;
        const PskVertex& v = std::get<PskVertexBuffer>(file.chunks.at(0).payload).vertices.at(0);
        EXPECT_EQ(v.position, (PskVec3{1, 2, 3}));
        // The last attribute read holds the last float written: nothing was skipped or reused.
        const float last = static_cast<float>(c.floatsPerVertex);
        const float lastRead = (c.flags & kPskHasTexCoords1)   ? v.texCoords1[1]
                               : (c.flags & kPskHasTexCoords0) ? v.texCoords0[1]
                               : (c.flags & kPskHasNormals)    ? v.normal[2]
                                                               : v.position[2];
        EXPECT_EQ(lastRead, last);
        // And one float fewer is damage: the vertex size really is what the flags say.
        PskPayloadBuilder shorter;
        shorter.u32(1).u32(c.flags).u16(0).u32(1);
        for (std::size_t i = 1; i < c.floatsPerVertex; ++i)
            shorter.f32(0.0f);
        EXPECT_TRUE(readPskFile(oneChunk(kVertexBuffer, 1, shorter)).damage);
    }
}

TEST(PskFormatEdges, IndicesKeepOnlyTheirLow16Bits)
{
    PskPayloadBuilder payload;
    payload.u32(4).u32(65536 + 2).u32(0xFFFFFFFFu).u32(7).u32(0x12340005u);
    const PskIndexBuffer buffer = readSingle<PskIndexBuffer>(oneChunk(kIndexBuffer, 1, payload));
    EXPECT_EQ(buffer.indices, (std::vector<std::uint16_t>{2, 0xFFFF, 7, 5}));
}

TEST(PskFormatEdges, RotationOnlySampleCarriesFourFloatsAndKeepsTheNodePositionAndScale)
{
    PskPayloadBuilder payload;
    payload.u32(3).u32(0).u32(1000).u32(0).u32(1000).u32(kPskTrackRotation).u32(2);
    payload.f32s(std::vector<float>{0, 0, 0, 1, 0.5f, 0.5f, 0.5f, 0.5f});
    const PskTransformTrack track = readSingle<PskTransformTrack>(oneChunk(kTransformTrack, 1, payload));
    ASSERT_EQ(track.samples.size(), 2u);
    EXPECT_EQ(track.node, 3u);
    EXPECT_EQ(track.times, (PskTrackTimes{0, 1000, 0, 1000}));

    const PskTransform node = samplePskNode("N", -1).transform;
    const PskTransform second = composeTransformSample(node, track.componentFlags, track.samples[1]);
    EXPECT_EQ(second.position, node.position);
    EXPECT_EQ(second.scale, node.scale);
    EXPECT_EQ(second.rotation, (PskQuat{0.5f, 0.5f, 0.5f, 0.5f}));
}

TEST(PskFormatEdges, SampleComponentsComeInPositionRotationScaleOrder)
{
    const PskTransform node = samplePskNode("N", -1).transform;
    const PskTransformSample sample{{1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10}};
    const struct {
        std::uint32_t flags;
        std::size_t floats;
    } cases[] = {{1, 3}, {2, 4}, {4, 3}, {5, 6}, {7, 10}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        const PskTransformTrack track{0, {}, c.flags, {sample}};
        EXPECT_EQ(encodePskPayload(1, track).size(), 4 + 16 + 4 + 4 + c.floats * 4);
        const PskTransformTrack read = roundTrip(1, track);
        ASSERT_EQ(read.samples.size(), 1u);
        const PskTransform t = composeTransformSample(node, c.flags, read.samples[0]);
        EXPECT_EQ(t.position, (c.flags & 1) ? sample.position : node.position);
        EXPECT_EQ(t.rotation, (c.flags & 2) ? sample.rotation : node.rotation);
        EXPECT_EQ(t.scale, (c.flags & 4) ? sample.scale : node.scale);
    }
}

TEST(PskFormatEdges, UnknownChunkTypesStopTheReaderAtTheirHeader)
{
    for (std::uint16_t type : {std::uint16_t{0}, std::uint16_t{14}, std::uint16_t{0xFFFF}}) {
        SCOPED_TRACE(type);
        PskWriter writer;
        writer.chunk(1, 0, PskTexture{"a.tga"});
        const std::uint64_t second = writer.bytes().size();
        writer.rawChunk(type, 1, 0, std::vector<std::uint8_t>(6, 0));
        writer.chunk(1, 1, PskTexture{"b.tga"});
        const PskFile file = readPskFile(writer.bytes());
        ASSERT_EQ(file.chunks.size(), 1u);
        ASSERT_TRUE(file.damage);
        EXPECT_EQ(file.damage->kind, PskDamageKind::UnknownChunk);
        EXPECT_EQ(file.damage->offset, second);
    }
}

TEST(PskFormatEdges, BytesAfterTheFieldsOfAChunkAreSkipped)
{
    PskPayloadBuilder payload;
    payload.string("wood.tga").u32(0xDEADBEEFu).u8(9);
    PskWriter writer;
    writer.rawChunk(9, 1, 4, payload.bytes());
    writer.chunk(1, 5, PskTexture{"next.tga"});
    const PskFile file = readPskFile(writer.bytes());
    ASSERT_FALSE(file.damage) << file.damage->reason;
    ASSERT_EQ(file.chunks.size(), 2u);
    EXPECT_EQ(std::get<PskTexture>(file.chunks[0].payload).fileName, "wood.tga");
    EXPECT_EQ(std::get<PskTexture>(file.chunks[1].payload).fileName, "next.tga");
    EXPECT_EQ(file.chunks[1].header.objectIndex, 5u);
}

TEST(PskFormatEdges, AnEmptyFileHoldsNoChunksAndNoDamage)
{
    const PskFile file = readPskFile({});
    EXPECT_TRUE(file.chunks.empty());
    EXPECT_FALSE(file.damage);
}
