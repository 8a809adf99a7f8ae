// The fast PNG path must give exactly libspng's pixels for every picture it takes, and step
// aside (leaving the verdict to libspng) for everything else. The files come from libspng's
// own encoder, one row filter at a time, then are re-chunked or damaged by hand.

#include "raw_picture_files.h"
#include "platform/d3dx/picture_decoder.h"
#include "platform/d3dx/picture_formats.h"

#include <gtest/gtest.h>
#include <spng.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

unsigned channelsOf(std::uint8_t colourType)
{
    return colourType == 0 ? 1 : colourType == 2 ? 3 : colourType == 4 ? 2 : 4;
}

Bytes samples(unsigned width, unsigned height, unsigned channels)
{
    Bytes out(std::size_t(width) * height * channels);
    std::uint32_t noise = 7;
    for (std::size_t i = 0; i < out.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        // Smooth with a little grain, so every filter has something to predict.
        out[i] = std::uint8_t(i * 3 + (noise >> 29));
    }
    return out;
}

Bytes spngEncode(unsigned width, unsigned height, std::uint8_t colourType, int filters)
{
    spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
    spng_set_option(context, SPNG_FILTER_CHOICE, filters);
    spng_ihdr ihdr{width, height, 8, colourType, 0, 0, 0};
    spng_set_ihdr(context, &ihdr);
    Bytes image = samples(width, height, channelsOf(colourType));
    Bytes png;
    if (spng_encode_image(context, image.data(), image.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0) {
        std::size_t length = 0;
        int error = 0;
        void* buffer = spng_get_png_buffer(context, &length, &error);
        if (buffer) png.assign(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + length);
        std::free(buffer);
    }
    spng_ctx_free(context);
    return png;
}

std::vector<PngChunk> chunksOf(const Bytes& png)
{
    std::vector<PngChunk> chunks;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = std::uint32_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        chunks.push_back({std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8),
                          Bytes(png.begin() + long(at) + 8, png.begin() + long(at) + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

Bytes assemble(const std::vector<PngChunk>& chunks)
{
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    for (const PngChunk& chunk : chunks) appendPngChunk(png, chunk);
    return png;
}

// libspng's own general path, as the yardstick.
std::optional<Bytes> spngPixels(const Bytes& png)
{
    spng_ctx* context = spng_ctx_new(SPNG_CTX_IGNORE_ADLER32);
    spng_set_png_buffer(context, png.data(), png.size());
    std::size_t length = 0;
    std::optional<Bytes> pixels;
    if (spng_decoded_image_size(context, SPNG_FMT_RGBA8, &length) == 0) {
        Bytes out(length);
        if (spng_decode_image(context, out.data(), length, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0) pixels = out;
    }
    spng_ctx_free(context);
    return pixels;
}

struct Outcome {
    bool direct;
    std::optional<Bytes> pixels;
};

Outcome decode(const Bytes& png)
{
    Outcome outcome{false, std::nullopt};
    const std::optional<PictureHeader> header = readPictureHeader(png.data(), png.size());
    if (!header) return outcome;
    outcome.direct = decodePngDirect(png.data(), png.size(), *header).has_value();
    if (std::optional<DecodedPicture> picture = decodePicture(png.data(), png.size()))
        outcome.pixels = Bytes(picture->rgba.get(), picture->rgba.get() + std::size_t(header->width) * header->height * 4);
    return outcome;
}

void expectSameAsSpng(const Bytes& png, bool direct, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(png.empty());
    const Outcome outcome = decode(png);
    EXPECT_EQ(outcome.direct, direct);
    const std::optional<Bytes> expected = spngPixels(png);
    ASSERT_EQ(outcome.pixels.has_value(), expected.has_value());
    if (expected) {
        EXPECT_TRUE(*outcome.pixels == *expected);
    }
}

TEST(PngDirectPath, EveryFilterAndColourTypeGivesLibspngsPixels)
{
    const int filters[] = {SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB, SPNG_FILTER_CHOICE_UP,
                           SPNG_FILTER_CHOICE_AVG, SPNG_FILTER_CHOICE_PAETH, SPNG_FILTER_CHOICE_ALL};
    for (const std::uint8_t colourType : {0, 2, 4, 6})
        for (const unsigned width : {1u, 5u, 13u})
            for (const int filter : filters)
                expectSameAsSpng(spngEncode(width, 6, colourType, filter), true,
                                 "colour type " + std::to_string(colourType) + ", width " + std::to_string(width) +
                                     ", filters " + std::to_string(filter));
}

TEST(PngDirectPath, UnusualFilesAreLeftToLibspng)
{
    const Bytes plain = spngEncode(9, 7, 2, SPNG_FILTER_CHOICE_ALL);
    std::vector<PngChunk> chunks = chunksOf(plain);
    ASSERT_EQ(chunks[1].type, "IDAT");
    const Bytes stream = chunks[1].data;

    std::vector<PngChunk> split = chunks;
    split[1].data.assign(stream.begin(), stream.begin() + 5);
    split.insert(split.begin() + 2, {"IDAT", Bytes(stream.begin() + 5, stream.end() - 3)});
    split.insert(split.begin() + 3, {"IDAT", Bytes(stream.end() - 3, stream.end())});
    expectSameAsSpng(assemble(split), true, "image data over three chunks");

    std::vector<PngChunk> wrongAdler = chunks;
    wrongAdler[1].data.back() ^= 0x55;
    expectSameAsSpng(assemble(wrongAdler), false, "a wrong stream checksum: libspng ignores it");

    std::vector<PngChunk> keyColour = chunks;
    keyColour.insert(keyColour.begin() + 1, {"tRNS", Bytes{0, 1, 0, 2, 0, 3}});
    expectSameAsSpng(assemble(keyColour), false, "a key colour");

    std::vector<PngChunk> cut = chunks;
    cut[1].data.resize(cut[1].data.size() / 2);
    expectSameAsSpng(assemble(cut), false, "a stream cut short: refused by both");

    Bytes badCrc = plain;
    badCrc[8 + 25 + 8 + 2] ^= 1; // inside the IDAT payload, after IHDR's 25 bytes
    expectSameAsSpng(badCrc, false, "image data under a wrong CRC: refused by both");

    const Bytes deep = rawPng(3, 2, 16, 2, {Bytes(18, 0x40), Bytes(18, 0x90)});
    expectSameAsSpng(deep, false, "16 bits a channel");

    const Bytes palette = rawPng(2, 2, 8, 3, {{0, 1}, {1, 0}}, {{"PLTE", {255, 0, 0, 0, 0, 255}}});
    expectSameAsSpng(palette, false, "a palette");

    const Bytes greyWithPalette = rawPng(2, 1, 8, 0, {{7, 9}}, {{"PLTE", {1, 2, 3}}});
    expectSameAsSpng(greyWithPalette, false, "grey with a palette chunk");
}

} // namespace
