// Damaged containers: truncated at every byte, each header and record field corrupted, every
// byte flipped. None may crash or read out of bounds (the asan preset checks that); a damaged
// container is refused, or its damaged entries are unreadable, and whatever does read back has
// exactly its declared size.
#include "archive/little_endian.h"
#include "archive/resource_archive.h"
#include "archive_test_support.h"

namespace {

const std::vector<std::string> names = {"demo.psc", "scene.psk", "tex/a.png", "music.ogg"};

std::vector<ContainerEntry> sampleEntries()
{
    return {{names[0], wordyBytes(300, 1), 1},
            {names[1], randomBytes(90, 2), 0x00020001},
            {names[2], randomBytes(40, 3), 0},
            {names[3], wordyBytes(120, 4), 0x00010000}};
}

struct Outcome {
    bool opened = false;
    int readable = 0;
};

class ContainerDamageTest : public ::testing::Test {
protected:
    ScratchFolder scratch;

    Outcome probe(const Bytes& file)
    {
        const std::filesystem::path path = scratch / "probe.cfl";
        writeFile(path, file);
        ResourceArchive archive;
        Outcome outcome;
        outcome.opened = archive.open(path.string());
        for (const std::string& name : names) {
            std::uint32_t size = 0;
            const std::optional<Bytes> data = archive.read(name, size);
            if (data) {
                EXPECT_EQ(data->size(), size) << name;
                EXPECT_EQ(size, archive.entrySize(name));
                ++outcome.readable;
            }
            Bytes buffer(64);
            EXPECT_LE(archive.readInto(name, buffer.data(), 64), 64u);
        }
        return outcome;
    }
};

// Offsets of the directory fields in a container whose directory is stored with None.
struct Layout {
    std::uint32_t directory;      // D: the directory's filter id
    std::uint32_t storedLength;   // M
    std::uint32_t firstRecord;    // record 0 of the decoded directory
};

Layout layoutOf(const Bytes& box)
{
    const std::uint32_t directory = loadU32LE(box.data() + 4);
    return {directory, directory + 4, directory + 8};
}

} // namespace

TEST_F(ContainerDamageTest, TruncationAtEveryOffsetIsRefused)
{
    for (const std::uint32_t directoryFilter : {0u, 1u}) {
        const Bytes box = containerOf(sampleEntries(), directoryFilter);
        ASSERT_EQ(probe(box).readable, 4);
        for (std::size_t length = 0; length < box.size(); ++length)
            EXPECT_FALSE(probe(Bytes(box.begin(), box.begin() + length)).opened) << "length " << length;
    }
}

TEST_F(ContainerDamageTest, TruncatedAppendedContainerIsRefused)
{
    Bytes file = randomBytes(200, 9);
    const Bytes box = containerOf(sampleEntries());
    file.insert(file.end(), box.begin(), box.end());
    const Bytes trailer = *containerTrailer(box.size());
    file.insert(file.end(), trailer.begin(), trailer.end());
    ASSERT_EQ(probe(file).readable, 4);
    for (std::size_t length = 0; length < file.size(); ++length)
        EXPECT_FALSE(probe(Bytes(file.begin(), file.begin() + length)).opened) << "length " << length;
}

TEST_F(ContainerDamageTest, CorruptHeaderFieldsAreRefused)
{
    const Bytes box = containerOf(sampleEntries(), 0);
    const Layout at = layoutOf(box);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> corruptions = {
        {0, 0x33434647},                    // magic
        {4, 0},                             // D at the header: its "filter id" is the magic
        {4, static_cast<std::uint32_t>(box.size())},
        {4, 0xFFFFFFF0},
        {8, loadU32LE(box.data() + 8) + 1}, // decoded directory length beyond the directory
        {8, 0xFFFFFFFF},
        {8, 20},                            // ends inside the first record
        {at.directory, 0x01000000},         // unregistered directory filter
        {at.storedLength, 0xFFFFFFFF},      // stored directory beyond the file
        {at.storedLength, loadU32LE(box.data() + at.storedLength) + 1},
    };
    for (const auto& [offset, value] : corruptions) {
        Bytes damaged = box;
        storeU32LE(damaged.data() + offset, value);
        EXPECT_FALSE(probe(damaged).opened) << "offset " << offset << " value " << value;
    }
}

TEST_F(ContainerDamageTest, CorruptRecordFieldsRefuseTheContainerOrTheEntry)
{
    const Bytes box = containerOf(sampleEntries(), 0);
    const std::uint32_t record = layoutOf(box).firstRecord;
    auto patched = [&](std::uint32_t offset, std::uint32_t value, bool wide = true) {
        Bytes damaged = box;
        if (wide)
            storeU32LE(damaged.data() + offset, value);
        else
            storeU16LE(damaged.data() + offset, static_cast<std::uint16_t>(value));
        return damaged;
    };
    // Declared size no block in this file could decode to, or a block beyond the file.
    EXPECT_FALSE(probe(patched(record + 0, 0xFFFFFFFF)).opened);
    EXPECT_FALSE(probe(patched(record + 4, static_cast<std::uint32_t>(box.size()) - 3)).opened);
    EXPECT_FALSE(probe(patched(record + 4, 0xFFFFFFFF)).opened);
    // A name running past the directory.
    EXPECT_FALSE(probe(patched(record + 12, 0xFFFF, false)).opened);

    // An unregistered filter or a block position inside another block: only that entry fails.
    for (const Bytes& damaged : {patched(record + 8, 0x00000007), patched(record + 4, 13)}) {
        const Outcome outcome = probe(damaged);
        EXPECT_TRUE(outcome.opened);
        EXPECT_EQ(outcome.readable, 3);
    }
}

TEST_F(ContainerDamageTest, StoredBlockBeyondTheFileIsUnreadable)
{
    Bytes box = containerOf(sampleEntries(), 1);
    // The first entry's block follows the header.
    storeU32LE(box.data() + 12, 0x7FFFFFFF);
    const Outcome outcome = probe(box);
    EXPECT_TRUE(outcome.opened);
    EXPECT_EQ(outcome.readable, 3);
}

TEST_F(ContainerDamageTest, CorruptTrailerIsRefused)
{
    Bytes file = randomBytes(64, 1);
    const Bytes box = containerOf(sampleEntries());
    file.insert(file.end(), box.begin(), box.end());
    const Bytes trailer = *containerTrailer(box.size());
    file.insert(file.end(), trailer.begin(), trailer.end());
    for (const std::uint32_t distance : {0u, 7u, 8u, static_cast<std::uint32_t>(file.size()) + 1, 0xFFFFFFFFu,
                                         static_cast<std::uint32_t>(box.size() + 7)}) {
        Bytes damaged = file;
        storeU32LE(damaged.data() + damaged.size() - 8, distance);
        EXPECT_FALSE(probe(damaged).opened) << distance;
    }
}

TEST_F(ContainerDamageTest, EveryFlippedByteIsSurvived)
{
    for (const std::uint32_t directoryFilter : {0u, 1u}) {
        const Bytes box = containerOf(sampleEntries(), directoryFilter);
        int refused = 0;
        for (std::size_t i = 0; i < box.size(); ++i) {
            Bytes damaged = box;
            damaged[i] ^= 0xA5;
            refused += probe(damaged).opened ? 0 : 1;
        }
        // The header and directory bytes alone are enough to refuse a good share.
        EXPECT_GT(refused, 12);
    }
}
