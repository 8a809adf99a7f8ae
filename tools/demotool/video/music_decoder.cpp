// Reads through an AVIOContext over the bytes, decodes the best audio stream and converts
// every frame to stereo float at the wanted rate with libswresample.
#include "video/music_decoder.h"

#include "video/ffmpeg_error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Rates and channel counts beyond these are damage, not music: the converter's filters
// for a rate of millions would alone take gigabytes.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
constexpr int kMaxChannels = 64;

bool saneFormat(int rate, int channels)
{
    return rate >= kMinRate && rate <= kMaxRate && channels > 0 && channels <= kMaxChannels;
}

struct MemoryReader {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int readPacket(void* opaque, std::uint8_t* buffer, int size)
{
    auto* reader = static_cast<MemoryReader*>(opaque);
    const std::size_t left = reader->bytes.size() - reader->position;
    const std::size_t count = std::min(left, static_cast<std::size_t>(std::max(size, 0)));
    if (count == 0) return AVERROR_EOF;
    std::memcpy(buffer, reader->bytes.data() + reader->position, count);
    reader->position += count;
    return static_cast<int>(count);
}

std::int64_t seekIn(void* opaque, std::int64_t offset, int whence)
{
    auto* reader = static_cast<MemoryReader*>(opaque);
    const auto size = static_cast<std::int64_t>(reader->bytes.size());
    if (whence & AVSEEK_SIZE) return size;
    std::int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<std::int64_t>(reader->position); break;
    case SEEK_END: base = size; break;
    default: return AVERROR(EINVAL);
    }
    if (offset > size || offset < -size) return AVERROR(EINVAL);
    const std::int64_t target = base + offset;
    if (target < 0 || target > size) return AVERROR(EINVAL);
    reader->position = static_cast<std::size_t>(target);
    return target;
}

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct IoCloser {
    void operator()(AVIOContext* io) const
    {
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }
};
struct CodecCloser {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct ResamplerCloser {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct FrameCloser {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketCloser {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

// An opened input: the reader and the I/O context must outlive the format context.
struct OpenedInput {
    MemoryReader reader;
    std::unique_ptr<AVIOContext, IoCloser> io;
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    std::unique_ptr<AVCodecContext, CodecCloser> codec;
    int stream = -1;
};

bool openInput(OpenedInput& input, std::span<const std::uint8_t> bytes, std::string& error)
{
    // FFmpeg sizes some buffers straight from header fields: a 46-byte WAVE header made it ask
    // for 1.8 GB at once. Nothing capture encodes or decodes needs a single block near this.
    av_max_alloc(std::size_t{256} << 20);
    input.reader.bytes = bytes;
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) return error = "out of memory", false;
    input.io.reset(avio_alloc_context(buffer, kBufferSize, 0, &input.reader, readPacket, nullptr, seekIn));
    if (!input.io) {
        av_free(buffer);
        return error = "out of memory", false;
    }
    AVFormatContext* format = avformat_alloc_context();
    if (!format) return error = "out of memory", false;
    format->pb = input.io.get();
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    int result = avformat_open_input(&format, nullptr, nullptr, nullptr);
    if (result < 0) return error = "not a music file (" + ffmpegErrorText(result) + ")", false;
    input.format.reset(format);
    result = avformat_find_stream_info(format, nullptr);
    if (result < 0) return error = "unreadable music (" + ffmpegErrorText(result) + ")", false;
    const AVCodec* decoder = nullptr;
    input.stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (input.stream < 0 || !decoder) return error = "no sound in the music file", false;
    input.codec.reset(avcodec_alloc_context3(decoder));
    if (!input.codec) return error = "out of memory", false;
    result = avcodec_parameters_to_context(input.codec.get(), format->streams[input.stream]->codecpar);
    if (result >= 0) result = avcodec_open2(input.codec.get(), decoder, nullptr);
    if (result < 0) return error = "cannot decode the music (" + ffmpegErrorText(result) + ")", false;
    if (!saneFormat(input.codec->sample_rate, input.codec->ch_layout.nb_channels))
        return error = "music with an impossible sample rate or channel count", false;
    return true;
}

class Converter {
public:
    Converter(int rate, std::size_t maxFrames, DecodedMusic& out) : rate_(rate), maxFrames_(maxFrames), out_(out) {}

    // Appends the frame's samples; false when conversion fails or the music is too long.
    bool add(const AVFrame* frame)
    {
        if (!resampler_ && !open(frame)) return false;
        const int room = swr_get_out_samples(resampler_.get(), frame ? frame->nb_samples : 0);
        if (room < 0) return false;
        if (out_.frames() + static_cast<std::size_t>(room) > maxFrames_) return false;
        const std::size_t before = out_.samples.size();
        out_.samples.resize(before + static_cast<std::size_t>(room) * 2);
        auto* target = reinterpret_cast<std::uint8_t*>(out_.samples.data() + before);
        const int made = swr_convert(resampler_.get(), &target, room,
                                     frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                                     frame ? frame->nb_samples : 0);
        if (made < 0) return false;
        out_.samples.resize(before + static_cast<std::size_t>(made) * 2);
        return true;
    }
    bool flush() { return !resampler_ || add(nullptr); }

private:
    bool open(const AVFrame* frame)
    {
        if (!frame) return true;
        if (!saneFormat(frame->sample_rate, frame->ch_layout.nb_channels)) return false;
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        AVChannelLayout input{};
        if (av_channel_layout_copy(&input, &frame->ch_layout) < 0) return false;
        SwrContext* context = nullptr;
        const int made = swr_alloc_set_opts2(&context, &stereo, AV_SAMPLE_FMT_FLT, rate_, &input,
                                             static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0,
                                             nullptr);
        av_channel_layout_uninit(&input);
        if (made < 0) return false;
        resampler_.reset(context);
        // Formats differ in how loud their mono is; mono goes to both sides unchanged.
        if (frame->ch_layout.nb_channels == 1) {
            const double matrix[2] = {1.0, 1.0};
            swr_set_matrix(context, matrix, 1);
        }
        return swr_init(context) >= 0;
    }

    int rate_;
    std::size_t maxFrames_;
    DecodedMusic& out_;
    std::unique_ptr<SwrContext, ResamplerCloser> resampler_;
};

} // namespace

bool musicOpens(std::span<const std::uint8_t> bytes)
{
    OpenedInput input;
    std::string error;
    return openInput(input, bytes, error);
}

std::optional<DecodedMusic> decodeMusic(std::span<const std::uint8_t> bytes, int sampleRate, std::string& error,
                                        std::size_t maxFrames)
{
    OpenedInput input;
    if (!openInput(input, bytes, error)) return std::nullopt;
    DecodedMusic music;
    music.sampleRate = sampleRate;
    Converter converter(sampleRate, maxFrames, music);
    std::unique_ptr<AVPacket, PacketCloser> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameCloser> frame(av_frame_alloc());
    if (!packet || !frame) return error = "out of memory", std::nullopt;

    auto drain = [&]() {
        for (;;) {
            const int got = avcodec_receive_frame(input.codec.get(), frame.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            // A damaged frame is skipped, as a player would.
            if (got < 0) return true;
            const bool added = converter.add(frame.get());
            av_frame_unref(frame.get());
            if (!added) return false;
        }
    };
    for (;;) {
        const int read = av_read_frame(input.format.get(), packet.get());
        if (read < 0) break;
        if (packet->stream_index == input.stream) {
            const int sent = avcodec_send_packet(input.codec.get(), packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) break;
            if (!drain()) return error = "music too long or not convertible", std::nullopt;
        } else {
            av_packet_unref(packet.get());
        }
    }
    avcodec_send_packet(input.codec.get(), nullptr);
    if (!drain() || !converter.flush()) return error = "music too long or not convertible", std::nullopt;
    return music;
}
