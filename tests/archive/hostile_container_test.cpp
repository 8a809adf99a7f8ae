// Decompression and directory bombs: lengths in a container never drive an allocation beyond
// what the stored bytes can produce (1032:1 for deflate) and the documented ceilings
// (maxDecodedBlockLength per block, maxDirectoryLength and maxDirectoryRecords per
// directory). Every input is generated here; the allocation probe watches operator new.
#include "allocation_probe.h"
#include "archive/block_codec.h"
#include "archive/container_format.h"
#include "archive/container_reader.h"
#include "archive/resource_archive.h"
#include "archive_test_support.h"

#include "support/zeros_stream.h"

#include <zlib.h>

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

// A ZLIB filter block: the stated plain length, then the stream.
Bytes zlibBlock(std::uint32_t stated, const Bytes& stream)
{
    Bytes block;
    appendU32LE(block, stated);
    block.insert(block.end(), stream.begin(), stream.end());
    return block;
}

// A container of `body` (entry blocks from byte 12 on) and an already encoded directory.
Bytes containerAround(const Bytes& body, std::uint32_t declaredDirectoryLength, std::uint32_t directoryFilter,
                      const Bytes& storedDirectory)
{
    Bytes box = {'C', 'F', 'L', '3'};
    appendU32LE(box, static_cast<std::uint32_t>(12 + body.size()));
    appendU32LE(box, declaredDirectoryLength);
    box.insert(box.end(), body.begin(), body.end());
    appendU32LE(box, directoryFilter);
    appendU32LE(box, static_cast<std::uint32_t>(storedDirectory.size()));
    box.insert(box.end(), storedDirectory.begin(), storedDirectory.end());
    return box;
}

// `count` records of empty names and empty entries, all zero bytes.
Bytes emptyRecords(std::size_t count)
{
    return Bytes(count * container_format::recordFixedSize, 0);
}

class HostileContainerTest : public ::testing::Test {
protected:
    ScratchFolder scratch;

    std::string saved(const Bytes& box)
    {
        const std::filesystem::path path = scratch / "hostile.cfl";
        writeFile(path, box);
        return path.string();
    }
};

} // namespace

TEST(ZlibBombs, OutputGrowsAsTheStreamDeliversItAndNeverPastTheCeiling)
{
    const Bytes garbage = randomBytes(300 * 1024, 7);
    const Bytes zeros64 = zerosStream(64 * MiB);
    const Bytes zeros32 = zerosStream(32 * MiB);
    struct Case {
        const char* what;
        Bytes block;
        std::optional<std::size_t> decodedLength;
        std::size_t allocationBound;
    };
    const Case cases[] = {
        // Used to allocate the stated 290 MiB before inflate found the first bad byte.
        {"garbage stating 1000:1", zlibBlock(static_cast<std::uint32_t>(1000 * garbage.size()), garbage), std::nullopt,
         4 * MiB},
        {"stated above the block ceiling", zlibBlock(static_cast<std::uint32_t>(maxDecodedBlockLength + 1), garbage),
         std::nullopt, 1 * MiB},
        {"stated beyond 1032:1", zlibBlock(static_cast<std::uint32_t>(1033 * zeros32.size()), zeros32), std::nullopt,
         1 * MiB},
        {"stream far longer than stated", zlibBlock(static_cast<std::uint32_t>(MiB), zeros64), MiB, 2 * MiB},
        {"stated and delivered", zlibBlock(static_cast<std::uint32_t>(32 * MiB), zeros32), 32 * MiB, 32 * MiB + MiB},
    };
    for (const Case& c : cases) {
        const AllocationProbe probe;
        const std::optional<FilterBytes> decoded = decodeBlock(c.block, 1);
        EXPECT_EQ(decoded ? std::optional<std::size_t>(decoded->size()) : std::nullopt, c.decodedLength) << c.what;
        EXPECT_LE(probe.largest(), c.allocationBound) << c.what;
    }
}

TEST(ZlibBombs, CallersLimitStopsTheDecodeBeforeItAllocates)
{
    const Bytes block = zlibBlock(static_cast<std::uint32_t>(8 * MiB), zerosStream(8 * MiB));
    EXPECT_EQ(decodeBlock(block, 1, 8 * MiB).value_or(FilterBytes{}).size(), 8 * MiB);
    const AllocationProbe probe;
    EXPECT_FALSE(decodeBlock(block, 1, 8 * MiB - 1));
    EXPECT_FALSE(decodeBlock(block, 0x00020001, MiB)); // the limit holds through a delta stage too
    EXPECT_LE(probe.largest(), 64 * 1024u);
}

TEST_F(HostileContainerTest, EntriesDeclaringMoreThanTheirBlockCanGiveAreDamaged)
{
    // "big" is stored plainly and large enough for the directory check to let a huge declared
    // size of "small" through; reading "small" must still refuse before allocating it.
    const Bytes big = randomBytes(300 * 1024, 3);
    Bytes box = containerOf({{"packed", wordyBytes(4000, 1), 1}, {"small", bytesOf("0123456789"), 0}, {"big", big, 0}},
                            0);
    const std::string path = saved(box);
    struct Case {
        const char* name;
        std::uint32_t declared;
        bool readable;
    };
    const Case cases[] = {
        {"small", static_cast<std::uint32_t>(maxDecodedBlockLength + 1), false}, // past the ceiling
        {"small", 11, false},                                                   // more than None gives
        {"small", 10, true},
        {"packed", static_cast<std::uint32_t>(1033 * 4000), false}, // past 1032:1 of its block
    };
    for (const Case& c : cases) {
        Bytes damaged = box;
        for (std::size_t i = 0;; ++i) {
            const std::size_t at = recordOffset(damaged, i);
            if (std::string(damaged.begin() + at + 14, damaged.begin() + at + 14 + loadU16LE(&damaged[at + 12])) == c.name) {
                storeU32LE(&damaged[at], c.declared);
                break;
            }
        }
        writeFile(path, damaged);
        ResourceArchive archive;
        ASSERT_TRUE(archive.open(path)) << c.name << ' ' << c.declared;
        const AllocationProbe probe;
        EXPECT_EQ(archive.read(c.name).has_value(), c.readable) << c.name << ' ' << c.declared;
        EXPECT_LE(probe.largest(), 2 * MiB) << c.name << ' ' << c.declared;
        EXPECT_EQ(archive.read("big"), big);
    }
}

TEST_F(HostileContainerTest, DirectoryBombsAreRefusedCheaply)
{
    namespace cf = container_format;
    const std::uint32_t justOverCeiling = static_cast<std::uint32_t>(cf::maxDirectoryLength + 14);
    const Bytes overCeilingStream = zerosStream(justOverCeiling);
    struct Case {
        const char* what;
        Bytes box;
        bool opens;
    };
    const Case cases[] = {
        {"as many records as allowed", containerAround({}, 14 * cf::maxDirectoryRecords, 0, emptyRecords(cf::maxDirectoryRecords)),
         true},
        {"one record too many", containerAround({}, 14 * (cf::maxDirectoryRecords + 1), 0, emptyRecords(cf::maxDirectoryRecords + 1)),
         false},
        {"header states more than the ceiling", containerAround({}, justOverCeiling, 1, zlibBlock(justOverCeiling, overCeilingStream)),
         false},
        // The header is modest but the stream would inflate past the ceiling.
        {"stream states more than the ceiling", containerAround({}, 14, 1, zlibBlock(justOverCeiling, overCeilingStream)),
         false},
    };
    for (const Case& c : cases) {
        const std::string path = saved(c.box);
        const AllocationProbe probe;
        ResourceArchive archive;
        EXPECT_EQ(archive.open(path), c.opens) << c.what;
        EXPECT_EQ(readContainerDirectory(path, 0).has_value(), c.opens) << c.what;
        EXPECT_LE(probe.largest(), 4 * MiB) << c.what;
    }
}

TEST(ContainerWriterCeilings, RefusesWhatThePlayerWouldNotRead)
{
    std::vector<ContainerEntry> entries(container_format::maxDirectoryRecords + 1);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].name = std::to_string(i);
    EXPECT_NE(writeContainer(entries, 0).error, "");
    entries.pop_back();
    EXPECT_EQ(writeContainer(entries, 1).error, "");
}
