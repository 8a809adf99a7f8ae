// Filter chains named by a block's id: stage order, the compression fallback and failures.
#include "archive/block_codec.h"
#include "archive/name_hash.h"
#include "archive_test_support.h"

TEST(DecodeBlock, ResolvesEachStageOfTheId)
{
    // None, then Delta8.
    EXPECT_EQ(decodeBlock(Bytes{5, 3, 250}, 0x00010000), (Bytes{5, 8, 2}));
    // A compression value unknown in 16 bits falls back to its low byte: ZLIB.
    const Bytes text = wordyBytes(3000, 2);
    const Bytes zlibStored = *encodeBlock(text, 0x00000001);
    EXPECT_EQ(decodeBlock(zlibStored, 0x00000101), text);
    // Unregistered outer, compression and delta stages.
    EXPECT_FALSE(decodeBlock(Bytes{1, 2, 3}, 0x01000000).has_value());
    EXPECT_FALSE(decodeBlock(Bytes{1, 2, 3}, 0x00000202).has_value());
    EXPECT_FALSE(decodeBlock(Bytes{1, 2, 3}, 0x00040000).has_value());
    EXPECT_FALSE(encodeBlock(Bytes{1, 2, 3}, 0x01000000).has_value());
}

TEST(DecodeBlock, DeltaIsAppliedBeforeCompressionAndUndoneAfterIt)
{
    Bytes ramp(4000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::uint8_t>(i * 7);
    const Bytes stored = *encodeBlock(ramp, 0x00010001);
    // Delta-coding the ramp first makes it constant, which compresses far better.
    EXPECT_LT(stored.size(), encodeBlock(ramp, 0x00000001)->size());
    EXPECT_EQ(decodeBlock(stored, 0x00010001), ramp);
    EXPECT_EQ(*CFLResourceFilter::find(0x10000)->unpack(*CFLResourceFilter::find(1)->unpack(stored)), ramp);
}

TEST(DecodeBlock, EveryKnownChainRoundTrips)
{
    const Bytes data = randomBytes(777, 9);
    for (const std::uint32_t delta : {0u, 0x10000u, 0x20000u, 0x30000u}) {
        for (const std::uint32_t compression : {0u, 1u}) {
            const std::optional<FilterBytes> stored = encodeBlock(data, delta | compression);
            ASSERT_TRUE(stored.has_value());
            EXPECT_EQ(decodeBlock(*stored, delta | compression), data) << std::hex << (delta | compression);
        }
    }
}

TEST(DecodeBlock, FailingStageFailsTheDecode)
{
    EXPECT_FALSE(decodeBlock(Bytes{9, 0, 0, 0, 1, 2, 3}, 0x00020001).has_value());
}

TEST(NameHash, MatchesTheSignedShiftDefinition)
{
    EXPECT_EQ(archiveNameHash(""), 0u);
    EXPECT_EQ(archiveNameHash("a"), 0x61u);
    EXPECT_EQ(archiveNameHash("ab"), 0x0C200062u);
    // These pass through negative intermediate values, where the right shift copies the sign.
    EXPECT_EQ(archiveNameHash("demo.psc"), 0xCB91166Eu);
    EXPECT_EQ(archiveNameHash("textures/Wall.PNG"), 0xC4919043u);
    // Bytes above 127 count as 128..255, not as negative chars.
    EXPECT_EQ(archiveNameHash("\xff\xfe\xfd\xfc"), 0x9FA3F883u);
}
