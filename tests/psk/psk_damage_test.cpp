// Damaged files are refused with the offset of the first bad field, and no count makes the
// reader allocate more than the payload can hold.
#include "psk_sample_chunks.h"
#include "psk_test_support.h"

#include "psk/psk_chunk_type.h"

#include <filesystem>
#include <fstream>

namespace {

struct DamageCase {
    const char* label;
    std::vector<std::uint8_t> bytes;
    std::uint64_t offset;
};

PskCamera plainCamera()
{
    PskCamera camera;
    camera.node = samplePskNode("C", -1);
    return camera;
}

// A file whose first chunk is the given raw chunk; payload fields start at offset 12.
std::vector<std::uint8_t> chunkOf(std::uint16_t type, const PskPayloadBuilder& payload, std::uint16_t version = 1)
{
    return oneChunk(type, version, payload);
}

std::vector<DamageCase> damageCases()
{
    std::vector<DamageCase> cases;
    const std::vector<std::uint8_t> texture = chunkOf(9, PskPayloadBuilder().string("a.tga"));
    {
        std::vector<std::uint8_t> bytes = texture;
        bytes.insert(bytes.end(), {9, 0, 1, 0, 0});
        cases.push_back({"a header cut short after a good chunk", bytes, texture.size()});
    }
    {
        PskWriter writer;
        writer.header(9, 1, 0, 100).raw(std::vector<std::uint8_t>(99, 'x'));
        cases.push_back({"a payload running past the end of the file", writer.bytes(), 8});
    }
    {
        PskWriter writer;
        writer.header(9, 1, 0, 0xFFFFFFFFu);
        cases.push_back({"a payload length near 4 GiB", writer.bytes(), 8});
    }
    cases.push_back({"a string longer than its payload", chunkOf(9, PskPayloadBuilder().u16(10).raw(std::vector<std::uint8_t>(9, 'a'))), 12});
    cases.push_back({"a payload shorter than its first field", chunkOf(1, PskPayloadBuilder().u16(0xFFFF)), 12});
    cases.push_back({"a sprite missing its flag", chunkOf(13, PskPayloadBuilder().u32(1).u32(2).f32(1.0f)), 24});
    cases.push_back({"a vertex count whose vertices cannot fit",
                     chunkOf(6, PskPayloadBuilder().u32(1).u32(0).u16(0).u32(0xFFFFFFFFu).f32s(std::vector<float>(3))), 22});
    cases.push_back({"frames whose positions cannot fit",
                     chunkOf(6, PskPayloadBuilder().u32(0xFFFFFFFFu).u32(0).u16(0).u32(1000).f32s(std::vector<float>(3000))), 12});
    cases.push_back({"frames enough for one extra frame only",
                     chunkOf(6, PskPayloadBuilder().u32(3).u32(0).u16(0).u32(1).f32s(std::vector<float>(6))), 12});
    cases.push_back({"vertices without any frame", chunkOf(6, PskPayloadBuilder().u32(0).u32(0).u16(0).u32(5)), 12});
    cases.push_back({"an index count whose indices cannot fit", chunkOf(7, PskPayloadBuilder().u32(0x40000000u).u32(1)), 12});
    cases.push_back({"a sub-mesh count whose records cannot fit",
                     chunkOf(3, PskPayloadBuilder().u32(0).string("m").u32(1).u32(2).u16(2).raw(std::vector<std::uint8_t>(33))), 27});
    cases.push_back({"a switch count whose times cannot fit",
                     chunkOf(4, PskPayloadBuilder().raw(encodePskPayload(1, plainCamera())).u32(2).u32(1).u32(2).u32(3), 2),
                     12 + encodePskPayload(1, plainCamera()).size()});
    cases.push_back({"a float-track sample count that cannot fit",
                     chunkOf(12, PskPayloadBuilder().u32(0).string("OPACITY").u32(0).u32(0).u32(0).u32(0).u32(3).f32(1).f32(2)), 12 + 4 + 9 + 16});
    cases.push_back({"transform samples that cannot fit",
                     chunkOf(10, PskPayloadBuilder().u32(0).u32(0).u32(0).u32(0).u32(0).u32(7).u32(1).f32s(std::vector<float>(9))), 36});
    cases.push_back({"a count of empty transform samples beyond the payload",
                     chunkOf(10, PskPayloadBuilder().u32(0).u32(0).u32(0).u32(0).u32(0).u32(0x10).u32(0x7FFFFFFF)), 36});
    cases.push_back({"a node name longer than the rest of the payload",
                     chunkOf(2, PskPayloadBuilder().i32(-1).u16(200).raw(std::vector<std::uint8_t>(60))), 16});
    cases.push_back({"a group of version 2 without its visibility",
                     chunkOf(2, PskPayloadBuilder().raw(encodePskPayload(1, PskGroup{samplePskNode("G", -1)})), 2),
                     12 + encodePskPayload(1, PskGroup{samplePskNode("G", -1)}).size()});
    return cases;
}

} // namespace

TEST(PskDamage, EachCaseIsRefusedAtItsFirstBadField)
{
    for (const DamageCase& c : damageCases()) {
        SCOPED_TRACE(c.label);
        const PskFile file = readPskFile(c.bytes);
        ASSERT_TRUE(file.damage);
        EXPECT_EQ(file.damage->kind, PskDamageKind::Damaged);
        EXPECT_EQ(file.damage->offset, c.offset) << file.damage->reason;
        EXPECT_FALSE(file.damage->reason.empty());
    }
}

TEST(PskDamage, EveryShortenedPayloadOfTheSampleSceneIsRefusedInsideIt)
{
    for (const PskSampleChunk& chunk : samplePskChunks()) {
        SCOPED_TRACE(chunk.label);
        const std::vector<std::uint8_t> payload = encodePskPayload(chunk.version, chunk.payload);
        for (std::size_t length = 0; length < payload.size(); ++length) {
            // Declared as shorter: the chunk lies inside the file but its fields do not fit.
            PskWriter writer;
            writer.rawChunk(pskChunkTypeOf(chunk.payload), chunk.version, 0,
                            std::span(payload.data(), length));
            const PskFile file = readPskFile(writer.bytes());
            ASSERT_TRUE(file.damage) << "payload cut to " << length;
            EXPECT_GE(file.damage->offset, kPskChunkHeaderSize);
            EXPECT_LE(file.damage->offset, kPskChunkHeaderSize + length);
        }
    }
}

TEST(PskDamage, EveryCutOfTheSampleFileKeepsTheWholeChunksBeforeTheCut)
{
    const std::vector<PskSampleChunk> chunks = samplePskChunks();
    const std::vector<std::uint8_t> bytes = writePskChunks(chunks);
    const PskFile whole = readPskFile(bytes);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        const PskFile cut = readPskFile(std::span(bytes.data(), size));
        std::size_t complete = 0;
        while (complete < whole.chunks.size() &&
               whole.chunks[complete].header.offset + kPskChunkHeaderSize + whole.chunks[complete].header.payloadLength <= size)
            ++complete;
        ASSERT_EQ(cut.chunks.size(), complete) << "cut at " << size;
        const bool atBoundary = complete == whole.chunks.size() || whole.chunks[complete].header.offset == size;
        EXPECT_EQ(cut.damage.has_value(), !atBoundary) << "cut at " << size;
        if (cut.damage) {
            EXPECT_EQ(cut.damage->offset, whole.chunks[complete].header.offset +
                                              (size - whole.chunks[complete].header.offset < kPskChunkHeaderSize ? 0 : 8));
        }
    }
}

TEST(PskDamage, TheReaderStaysStoppedAndKeepsTheFirstDamage)
{
    std::vector<std::uint8_t> bytes = chunkOf(9, PskPayloadBuilder().u16(50));
    PskChunkReader reader(bytes);
    PskChunk chunk;
    EXPECT_EQ(reader.next(chunk), PskChunkReader::Step::Damaged);
    EXPECT_EQ(reader.next(chunk), PskChunkReader::Step::Damaged);
    ASSERT_TRUE(reader.damage());
    EXPECT_EQ(reader.damage()->offset, 12u);
    EXPECT_EQ(reader.position(), 0u);
}

TEST(PskDamage, CommittedFuzzSeedsAreTheWritersOwn)
{
    const std::filesystem::path folder = std::filesystem::path(DEMO_SOURCE_ROOT) / "tests/fuzz/corpus/psk_chunks";
    const auto seeds = pskFuzzSeeds();
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(seeds.contains(name)) << name << " is not made by make_psk_fuzz_seeds";
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(bytes, seeds.at(name)) << name << " is stale: rerun make_psk_fuzz_seeds";
    }
    EXPECT_EQ(files, seeds.size());
}
