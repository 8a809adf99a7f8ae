// Writer to reader: every chunk type survives the trip, and the version rules decide which
// optional fields the bytes carry.
#include "psk_sample_chunks.h"
#include "psk_test_support.h"

#include "psk/psk_chunk_type.h"

#include <cmath>
#include <limits>

TEST(PskRoundTrip, EveryChunkOfTheSampleSceneComesBackAsWritten)
{
    const std::vector<PskSampleChunk> chunks = samplePskChunks();
    const std::vector<std::uint8_t> bytes = writePskChunks(chunks);
    const PskFile file = readPskFile(bytes);
    ASSERT_FALSE(file.damage) << file.damage->reason;
    ASSERT_EQ(file.chunks.size(), chunks.size());
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        SCOPED_TRACE(chunks[i].label);
        const PskChunkHeader& header = file.chunks[i].header;
        EXPECT_EQ(header.offset, offset);
        EXPECT_EQ(header.type, pskChunkTypeOf(chunks[i].payload));
        EXPECT_EQ(header.version, chunks[i].version);
        EXPECT_EQ(header.objectIndex, chunks[i].objectIndex);
        EXPECT_EQ(header.payloadLength, encodePskPayload(chunks[i].version, chunks[i].payload).size());
        EXPECT_TRUE(file.chunks[i].payload == chunks[i].payload);
        offset += kPskChunkHeaderSize + header.payloadLength;
    }
    EXPECT_EQ(offset, bytes.size());
    for (std::uint16_t type = 1; type <= kPskLastChunkType; ++type) {
        bool seen = false;
        for (const PskChunk& chunk : file.chunks)
            seen = seen || chunk.header.type == type;
        EXPECT_TRUE(seen) << "the sample scene lacks chunk type " << type;
    }
}

TEST(PskRoundTrip, VersionsDecideTheOptionalFields)
{
    struct Case {
        const char* label;
        PskPayload payload;
        std::uint16_t version;
        std::size_t extraBytes; // over the same record at version 1
    };
    PskGroup group{samplePskNode("G", -1)};
    group.node.visibility = 0.5f;
    PskCamera camera{samplePskNode("C", -1), 1.0f, 1.0f, 100.0f, PskCameraSwitches{{10, 20}, 5, 99}};
    const PskCamera cameraWithoutVisibility = camera;
    camera.node.visibility = 0.5f;
    PskLight light;
    light.node = samplePskNode("L", -1);
    light.node.visibility = 0.5f;
    PskMaterial material;
    material.additiveMap = 4;
    const Case cases[] = {
        {"group v2 carries the visibility", group, 2, 4},
        {"light v2 carries the visibility", light, 2, 4},
        {"camera v2 carries the switch list only", cameraWithoutVisibility, 2, 4 + 2 * 4 + 8},
        {"camera v3 carries both", camera, 3, 4 + 2 * 4 + 8 + 4},
        {"material v2 carries the additive map", material, 2, 4},
        {"a later version adds nothing more", material, 7, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::size_t base = encodePskPayload(1, c.payload).size();
        EXPECT_EQ(encodePskPayload(c.version, c.payload).size(), base + c.extraBytes);

        PskWriter oldWriter, newWriter;
        oldWriter.chunk(1, 0, c.payload);
        newWriter.chunk(c.version, 0, c.payload);
        const PskFile old = readPskFile(oldWriter.bytes());
        const PskFile fresh = readPskFile(newWriter.bytes());
        ASSERT_EQ(old.chunks.size(), 1u);
        ASSERT_EQ(fresh.chunks.size(), 1u);
        EXPECT_TRUE(fresh.chunks[0].payload == c.payload);
        EXPECT_FALSE(old.chunks[0].payload == c.payload);
    }
}

TEST(PskRoundTrip, VisibilityIsClampedToTheUnitRange)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float stored;
        float read;
    } cases[] = {{1.7f, 1.0f}, {-0.2f, 0.0f}, {0.5f, 0.5f}, {1.0f, 1.0f}, {0.0f, 0.0f},
                 {inf, 1.0f},  {-inf, 0.0f},  {nan, 0.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        PskNodeRecord node = samplePskNode("N", -1);
        node.visibility = c.stored;
        EXPECT_EQ(roundTrip(2, PskGroup{node}).node.visibility, c.read);
        PskLight light;
        light.node = node;
        EXPECT_EQ(roundTrip(2, light).node.visibility, c.read);
        EXPECT_EQ(roundTrip(3, PskCamera{node, 1.0f, 1.0f, 10.0f, {}}).node.visibility, c.read);
    }
}

TEST(PskRoundTrip, NearDistanceBelowTheFloorBecomesAFractionOfFar)
{
    const struct {
        float nearDistance;
        float farDistance;
        float read;
    } cases[] = {
        {0.0f, 1000.0f, 1000.0f * 0.00001f},
        {-5.0f, 200.0f, 200.0f * 0.00001f},
        {0.0000099f, 500.0f, 500.0f * 0.00001f},
        {0.00001f, 500.0f, 0.00001f}, // the floor itself is kept
        {0.1f, 500.0f, 0.1f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nearDistance);
        const PskCamera camera = roundTrip(1, PskCamera{samplePskNode("C", -1), 1.0f, c.nearDistance, c.farDistance, {}});
        EXPECT_EQ(camera.nearDistance, c.read);
        EXPECT_EQ(camera.farDistance, c.farDistance);
    }
}

TEST(PskRoundTrip, ColoursBecomeFloatsThroughTheSinglePrecisionReciprocal)
{
    const PskColour colour = roundTrip(1, PskAmbient{PskColour::fromArgb(0x80FF0001u)}).colour;
    EXPECT_EQ(colour.argb, 0x80FF0001u);
    EXPECT_EQ(colour.red, 1.0f);
    EXPECT_EQ(colour.green, 0.0f);
    EXPECT_EQ(colour.blue, 1.0f / 255.0f);
    EXPECT_EQ(colour.alpha, 128.0f * (1.0f / 255.0f));

    // Multiplying by the rounded reciprocal is not dividing by 255 for every byte; every byte
    // must follow the multiplication.
    int differing = 0;
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        const PskColour c = PskColour::fromArgb(byte << 16);
        const float product = static_cast<float>(byte) * (1.0f / 255.0f);
        EXPECT_EQ(c.red, product) << byte;
        differing += product != static_cast<float>(byte) / 255.0f;
    }
    EXPECT_GT(differing, 0);
}
