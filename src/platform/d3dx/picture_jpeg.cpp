// JPEG through libjpeg-turbo. Its errors arrive by longjmp, so the functions that call into it
// hold no object with a destructor; the session that owns the decompressor lives one frame up.

#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_formats.h"

#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct JpegErrors {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
};

[[noreturn]] void failJpeg(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// The decoder would go on past missing or broken entropy data and fill the rest with grey;
// such a picture is damaged, not a picture. Harmless notes (stray bytes between segments,
// unknown revisions) pass.
void noteJpeg(j_common_ptr info, int level)
{
    if (level >= 0) return;
    switch (info->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION: failJpeg(info);
    default: break;
    }
}

void quietJpeg(j_common_ptr) {}

struct JpegSession {
    jpeg_decompress_struct info{};
    JpegErrors errors{};
    bool created = false;
    ~JpegSession()
    {
        if (created) jpeg_destroy_decompress(&info);
    }
};

// Fill bytes before the start marker are allowed; libjpeg wants the marker first.
std::size_t startOfImage(const std::uint8_t* data, std::size_t size)
{
    std::size_t at = 0;
    while (at + 2 < size && data[at + 1] == 0xFF) ++at;
    return at;
}

bool openJpeg(JpegSession& session, const std::uint8_t* data, std::size_t size)
{
    jpeg_decompress_struct* info = &session.info;
    info->err = jpeg_std_error(&session.errors.manager);
    session.errors.manager.error_exit = failJpeg;
    session.errors.manager.emit_message = noteJpeg;
    session.errors.manager.output_message = quietJpeg;
    if (setjmp(session.errors.jump)) return false;
    jpeg_create_decompress(info);
    session.created = true;
    info->mem->max_memory_to_use = long(kMaxJpegWorkingBytes);
    const std::size_t start = startOfImage(data, size);
    jpeg_mem_src(info, data + start, static_cast<unsigned long>(size - start));
    return jpeg_read_header(info, TRUE) == JPEG_HEADER_OK;
}

std::uint8_t scaleByInk(unsigned value, unsigned black)
{
    const unsigned t = value * black + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// Adobe's CMYK is stored inverted, so each channel times K gives the colour.
void cmykRowToRgba(std::uint8_t* row, unsigned width)
{
    for (unsigned x = 0; x < width; ++x, row += 4) {
        const unsigned black = row[3];
        row[0] = scaleByInk(row[0], black);
        row[1] = scaleByInk(row[1], black);
        row[2] = scaleByInk(row[2], black);
        row[3] = 255;
    }
}

bool readJpegRows(JpegSession& session, std::uint8_t* pixels, unsigned width, unsigned height)
{
    jpeg_decompress_struct* info = &session.info;
    if (setjmp(session.errors.jump)) return false;
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
    info->dct_method = JDCT_ISLOW;
    if (!jpeg_start_decompress(info)) return false;
    if (info->output_width != width || info->output_height != height || info->output_components != 4) return false;
    while (info->output_scanline < height) {
        JSAMPROW rows[4];
        const unsigned first = info->output_scanline;
        const unsigned count = height - first < 4 ? height - first : 4;
        for (unsigned i = 0; i < count; ++i) rows[i] = pixels + std::size_t(first + i) * width * 4;
        const unsigned read = jpeg_read_scanlines(info, rows, count);
        if (read == 0) return false;
        if (cmyk)
            for (unsigned i = 0; i < read; ++i) cmykRowToRgba(rows[i], width);
    }
    return true;
}

} // namespace

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || data[0] != 0xFF) return false;
    std::size_t at = 1;
    while (at < size && data[at] == 0xFF) ++at;
    return at < size && data[at] == 0xD8;
}

namespace {

std::optional<PictureHeader> headerOf(const jpeg_decompress_struct& info, std::size_t size)
{
    if (!pictureSizeAllowed(info.image_width, info.image_height)) return std::nullopt;
    // Every 8 × 8 block of the picture costs at least one bit of entropy-coded data.
    const std::uint64_t blocks = (std::uint64_t{info.image_width} + 7) / 8 * ((std::uint64_t{info.image_height} + 7) / 8);
    if (blocks > std::uint64_t{size} * 8) return std::nullopt;
    if (info.num_components != 1 && info.num_components != 3 && info.num_components != 4) return std::nullopt;
    return PictureHeader{info.image_width, info.image_height, info.num_components == 1 ? 1u : 3u,
                         PictureFileKind::Jpeg};
}

} // namespace

std::optional<PictureHeader> readJpegHeader(const std::uint8_t* data, std::size_t size)
{
    JpegSession session;
    if (!openJpeg(session, data, size)) return std::nullopt;
    return headerOf(session.info, size);
}

// One decompressor for the header and the body: setting one up and reading the header twice
// costs a small picture a tenth of its time.
std::optional<DecodedPicture> decodeJpegPicture(const std::uint8_t* data, std::size_t size)
{
    JpegSession session;
    if (!openJpeg(session, data, size)) return std::nullopt;
    const std::optional<PictureHeader> header = headerOf(session.info, size);
    if (!header) return std::nullopt;
    DecodedPixels pixels(static_cast<std::uint8_t*>(pictureAllocate(std::size_t(header->width) * header->height * 4)));
    if (!pixels || !readJpegRows(session, pixels.get(), header->width, header->height)) return std::nullopt;
    return DecodedPicture{*header, std::move(pixels)};
}
