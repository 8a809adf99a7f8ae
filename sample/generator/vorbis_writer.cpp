#include "vorbis_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <stdexcept>

namespace {

void appendPage(std::vector<std::uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Owns the encoder's state so every exit path releases it.
struct Encoder {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;

    Encoder(int rate, float quality)
    {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
        if (vorbis_encode_init_vbr(&info, 2, rate, quality) != 0) {
            vorbis_comment_clear(&comment);
            vorbis_info_clear(&info);
            throw std::runtime_error("Vorbis encoder refused the rate or quality");
        }
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_init(&stream, 0x5A3F1E77);
        analysing = true;
    }
    ~Encoder()
    {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }

    // Moves every finished block into pages.
    void drain(std::vector<std::uint8_t>& out)
    {
        ogg_packet packet;
        ogg_page page;
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) appendPage(out, page);
            }
        }
    }
};

} // namespace

std::vector<std::uint8_t> encodeOggVorbis(const std::vector<std::int16_t>& interleaved, int sampleRate, float quality)
{
    // libvorbisenc accepts rates no player would play, and an odd count has half a frame.
    if (sampleRate < 8000 || sampleRate > 192000) throw std::invalid_argument("sample rate out of range");
    if (interleaved.size() % 2 != 0) throw std::invalid_argument("stereo samples come in pairs");
    Encoder encoder(sampleRate, quality);
    std::vector<std::uint8_t> out;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_comment_add_tag(&encoder.comment, "TITLE", "Lanterns");
    vorbis_analysis_headerout(&encoder.dsp, &encoder.comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&encoder.stream, &header);
    ogg_stream_packetin(&encoder.stream, &commentHeader);
    ogg_stream_packetin(&encoder.stream, &codeHeader);
    // The headers get pages of their own, so audio starts on a fresh page.
    ogg_page page;
    while (ogg_stream_flush(&encoder.stream, &page) != 0) appendPage(out, page);

    const std::size_t frames = interleaved.size() / 2;
    constexpr std::size_t kChunk = 4096;
    for (std::size_t first = 0; first < frames; first += kChunk) {
        const std::size_t count = std::min(kChunk, frames - first);
        float** buffer = vorbis_analysis_buffer(&encoder.dsp, static_cast<int>(count));
        for (std::size_t i = 0; i < count; ++i) {
            buffer[0][i] = interleaved[(first + i) * 2] / 32768.0f;
            buffer[1][i] = interleaved[(first + i) * 2 + 1] / 32768.0f;
        }
        vorbis_analysis_wrote(&encoder.dsp, static_cast<int>(count));
        encoder.drain(out);
    }
    vorbis_analysis_wrote(&encoder.dsp, 0); // end of stream
    encoder.drain(out);
    while (ogg_stream_flush(&encoder.stream, &page) != 0) appendPage(out, page);
    return out;
}
