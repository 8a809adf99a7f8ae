// The entry filters: registration, round trips, delta edge cases and the ZLIB stream rules.
#include "archive/cflrh_delta16.h"
#include "archive/cflrh_delta32.h"
#include "archive/cflrh_delta8.h"
#include "archive/cflrh_none.h"
#include "archive/cflrh_zlib.h"
#include "archive/little_endian.h"
#include "archive_test_support.h"

#include <zlib.h>

namespace {

const CFLResourceFilter& filter(std::uint32_t id)
{
    const CFLResourceFilter* found = CFLResourceFilter::find(id);
    if (!found)
        throw std::runtime_error("filter not registered");
    return *found;
}

Bytes packed(std::uint32_t id, const Bytes& input)
{
    std::optional<FilterBytes> out = filter(id).pack(input);
    EXPECT_TRUE(out.has_value());
    return out.value_or(Bytes{});
}

std::optional<Bytes> unpacked(std::uint32_t id, const Bytes& input)
{
    return filter(id).unpack(input);
}

const std::uint32_t allFilterIds[] = {0x00000000, 0x00000001, 0x00010000, 0x00020000, 0x00030000};

} // namespace

TEST(FilterRegistry, ListsFiltersNewestFirstInRegistrationOrder)
{
    std::vector<std::pair<std::string, std::uint32_t>> listed;
    for (const CFLResourceFilter* f = CFLResourceFilter::first(); f; f = f->next())
        listed.emplace_back(f->name(), f->id());
    const std::vector<std::pair<std::string, std::uint32_t>> expected = {
        {"ZLIB", 0x00000001}, {"None", 0x00000000}, {"Delta8", 0x00010000}, {"Delta32", 0x00030000}, {"Delta16", 0x00020000}};
    EXPECT_EQ(listed, expected);
}

TEST(FilterRegistry, DescriptionsAndExactLookup)
{
    EXPECT_EQ(filter(0).description(), "No compression");
    EXPECT_EQ(filter(1).description().rfind("ZLIB data compression library\n", 0), 0u);
    EXPECT_EQ(filter(0x10000).description(), "8-bit delta encoding");
    EXPECT_EQ(filter(0x20000).description(), "16-bit delta encoding");
    EXPECT_EQ(filter(0x30000).description(), "32-bit delta encoding");
    EXPECT_EQ(CFLResourceFilter::find(0x00020001), nullptr);
    EXPECT_EQ(CFLResourceFilter::find(0x00000101), nullptr);
    EXPECT_EQ(CFLResourceFilter::find(0x00040000), nullptr);
}

TEST(FilterRoundTrip, EveryFilterIsExactOnEveryLengthUpTo64AndOnLargeInputs)
{
    for (const std::uint32_t id : allFilterIds) {
        std::vector<std::size_t> lengths;
        for (std::size_t n = 0; n <= 64; ++n)
            lengths.push_back(n);
        lengths.insert(lengths.end(), {4095, 65537, 1 << 20, (1 << 20) + 3});
        for (const std::size_t n : lengths) {
            for (const Bytes& input : {randomBytes(n, static_cast<std::uint32_t>(n + id)), wordyBytes(n, 7)}) {
                const Bytes stored = packed(id, input);
                EXPECT_EQ(unpacked(id, stored), input) << filter(id).name() << " length " << n;
            }
        }
    }
}

TEST(DeltaFilters, ExamplesAndPartialValues)
{
    EXPECT_EQ(unpacked(0x10000, {5, 3, 250}), (Bytes{5, 8, 2}));
    EXPECT_EQ(packed(0x10000, {5, 8, 2}), (Bytes{5, 3, 250}));

    // Two 16-bit values 0x0201, 0x0403 -> 0x0201, 0x0202; the fifth byte is copied.
    EXPECT_EQ(packed(0x20000, {1, 2, 3, 4, 9}), (Bytes{1, 2, 2, 2, 9}));
    EXPECT_EQ(unpacked(0x20000, {1, 2, 2, 2, 9}), (Bytes{1, 2, 3, 4, 9}));
    // Wrapping at 16 bits: 0x0001 - 0xFFFF = 0x0002.
    EXPECT_EQ(packed(0x20000, {0xFF, 0xFF, 0x01, 0x00}), (Bytes{0xFF, 0xFF, 0x02, 0x00}));

    // Delta32 on 7 bytes: the one value stays, the last three bytes are copied.
    const Bytes seven = {10, 20, 30, 40, 50, 60, 70};
    EXPECT_EQ(packed(0x30000, seven), seven);
    EXPECT_EQ(unpacked(0x30000, seven), seven);
    // 0x00000000 - 0x00000001 wraps to 0xFFFFFFFF.
    EXPECT_EQ(packed(0x30000, {1, 0, 0, 0, 0, 0, 0, 0}), (Bytes{1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(DeltaFilters, InputShorterThanOneValueIsReturnedUnchanged)
{
    for (const std::uint32_t id : {0x10000u, 0x20000u, 0x30000u}) {
        EXPECT_EQ(packed(id, {}), Bytes{});
        EXPECT_EQ(unpacked(id, {}), Bytes{});
    }
    EXPECT_EQ(packed(0x20000, {7}), Bytes{7});
    EXPECT_EQ(unpacked(0x30000, {7, 8, 9}), (Bytes{7, 8, 9}));
}

TEST(ZlibFilter, PackIsTheLengthThenCompressOutputByteForByte)
{
    for (const Bytes& input : {Bytes{}, wordyBytes(100000, 3), randomBytes(5000, 4)}) {
        uLongf length = compressBound(static_cast<uLong>(input.size()));
        Bytes stream(length);
        ASSERT_EQ(compress(stream.data(), &length, input.data(), static_cast<uLong>(input.size())), Z_OK);
        stream.resize(length);

        const Bytes out = packed(1, input);
        ASSERT_EQ(out.size(), 4 + stream.size());
        EXPECT_EQ(loadU32LE(out.data()), input.size());
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), out.begin() + 4));
    }
}

TEST(ZlibFilter, StreamEndingEarlyYieldsTheStatedLengthZeroFilled)
{
    const Bytes input = wordyBytes(20000, 5);
    Bytes stored = packed(1, input);
    stored.resize(4 + (stored.size() - 4) / 2);
    const std::optional<Bytes> out = unpacked(1, stored);
    ASSERT_TRUE(out.has_value());
    ASSERT_EQ(out->size(), input.size());
    // Some prefix is right and the part the stream never reached reads as zero.
    EXPECT_TRUE(std::equal(input.begin(), input.begin() + 100, out->begin()));
    EXPECT_EQ(out->back(), 0);
    EXPECT_NE(input.back(), 0);
}

TEST(ZlibFilter, StatedLengthBeyondACompleteStreamOrShortOfItRules)
{
    const Bytes input = wordyBytes(1000, 6);
    Bytes stored = packed(1, input);

    // A complete stream that produces less than stated yields what it produced.
    storeU32LE(stored.data(), 1500);
    EXPECT_EQ(unpacked(1, stored), input);

    // Too little room: the output is cut at the stated length.
    storeU32LE(stored.data(), 600);
    EXPECT_EQ(unpacked(1, stored), Bytes(input.begin(), input.begin() + 600));
}

TEST(ZlibFilter, DamagedBlocksFail)
{
    EXPECT_FALSE(unpacked(1, {}).has_value());
    EXPECT_FALSE(unpacked(1, {1, 0, 0}).has_value());
    // Not a zlib stream.
    EXPECT_FALSE(unpacked(1, {4, 0, 0, 0, 0x12, 0x34, 0x56, 0x78}).has_value());
    // A stated length no deflate stream of this size can reach is refused, not allocated.
    Bytes stored = packed(1, wordyBytes(64, 1));
    storeU32LE(stored.data(), 0xFFFFFFF0);
    EXPECT_FALSE(unpacked(1, stored).has_value());
}
