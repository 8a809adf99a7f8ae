// FFmpeg's muxer writes through an AVIOContext over the temporary's descriptor (seekable, so
// MP4 can complete its index at the end); packets of both streams go through the muxer's
// interleaving.
#include "video/video_encoder.h"

#include "file_io.h"
#include "tool_error.h"
#include "video/ffmpeg_error.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

int writeToFd(void* opaque, std::uint8_t* buffer, int size)
{
    const int fd = *static_cast<int*>(opaque);
    int done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, buffer + done, static_cast<std::size_t>(size - done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return AVERROR(errno ? errno : EIO);
        done += static_cast<int>(written);
    }
    return size;
}

std::int64_t seekFd(void* opaque, std::int64_t offset, int whence)
{
    const int fd = *static_cast<int*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat status {};
        return ::fstat(fd, &status) == 0 ? status.st_size : AVERROR(errno);
    }
    const off_t position = ::lseek(fd, offset, whence & ~AVSEEK_FORCE);
    return position < 0 ? AVERROR(errno) : position;
}

const char* muxerFor(const std::filesystem::path& path)
{
    const std::string extension = path.extension().string();
    if (extension == ".mp4") return "mp4";
    if (extension == ".mkv") return "matroska";
    return nullptr;
}

void check(int result, const std::string& what)
{
    if (result < 0) throw ToolError(what + ": " + ffmpegErrorText(result));
}

} // namespace

class VideoEncoder::Impl {
public:
    explicit Impl(const VideoSettings& settings);
    ~Impl();

    void addFrame(const std::uint8_t* pixels, std::size_t pitch);
    void addSound(const float* samples, std::size_t frames);
    void finish();

    TemporaryFile file;

private:
    void openVideo();
    void openAudio();
    void encode(AVCodecContext* codec, AVStream* stream, const AVFrame* frame);
    void sendAudioFrame(std::size_t frames);

    VideoSettings settings_;
    int fd_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* video_ = nullptr;
    AVCodecContext* audio_ = nullptr;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    SwsContext* scaler_ = nullptr;
    AVFrame* picture_ = nullptr;
    AVFrame* sound_ = nullptr;
    AVPacket* packet_ = nullptr;
    std::int64_t framesWritten_ = 0;
    std::int64_t samplesWritten_ = 0;
    std::vector<float> pending_;  // interleaved samples short of one audio frame
    bool finished_ = false;
};

VideoEncoder::Impl::Impl(const VideoSettings& settings) : file(settings.path), settings_(settings), fd_(file.fd())
{
    // The encoders' own statistics are noise beside capture's progress; their errors stay.
    av_log_set_level(AV_LOG_ERROR);
    constexpr int kBufferSize = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (!buffer) throw ToolError("out of memory");
    io_ = avio_alloc_context(buffer, kBufferSize, 1, &fd_, nullptr, writeToFd, seekFd);
    if (!io_) {
        av_free(buffer);
        throw ToolError("out of memory");
    }
    check(avformat_alloc_output_context2(&format_, nullptr, muxerFor(settings.path), nullptr),
          settings.path.string());
    format_->pb = io_;
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;
    packet_ = av_packet_alloc();
    if (!packet_) throw ToolError("out of memory");
    openVideo();
    openAudio();
    check(avformat_write_header(format_, nullptr), settings.path.string() + ": cannot start the file");
}

VideoEncoder::Impl::~Impl()
{
    av_frame_free(&picture_);
    av_frame_free(&sound_);
    av_packet_free(&packet_);
    sws_freeContext(scaler_);
    avcodec_free_context(&video_);
    avcodec_free_context(&audio_);
    avformat_free_context(format_);
    if (io_) av_freep(&io_->buffer);
    avio_context_free(&io_);
}

void VideoEncoder::Impl::openVideo()
{
    const bool lossless = settings_.codec == VideoCodec::ffv1;
    const AVCodec* codec = lossless ? avcodec_find_encoder(AV_CODEC_ID_FFV1) : avcodec_find_encoder_by_name("libx264");
    if (!codec) throw ToolError(lossless ? "FFmpeg has no FFV1 encoder" : "FFmpeg has no libx264 encoder");
    video_ = avcodec_alloc_context3(codec);
    if (!video_) throw ToolError("out of memory");
    video_->width = settings_.width;
    video_->height = settings_.height;
    video_->time_base = AVRational{settings_.rateDenominator, settings_.rateNumerator};
    video_->framerate = AVRational{settings_.rateNumerator, settings_.rateDenominator};
    // FFV1 keeps the drawn pixels as they are; H.264 gets the 4:2:0 every player plays.
    video_->pix_fmt = lossless ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
    if (!lossless) {
        video_->gop_size = 250;
        video_->colorspace = AVCOL_SPC_SMPTE170M;
        video_->color_primaries = AVCOL_PRI_SMPTE170M;
        video_->color_trc = AVCOL_TRC_SMPTE170M;
        video_->color_range = AVCOL_RANGE_MPEG;
        av_opt_set(video_->priv_data, "preset", "superfast", 0);
        av_opt_set(video_->priv_data, "crf", "18", 0);
    } else {
        av_opt_set(video_->priv_data, "slices", "4", 0);
        video_->thread_count = 2;
    }
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) video_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(video_, codec, nullptr), "cannot start the video encoder");
    videoStream_ = avformat_new_stream(format_, nullptr);
    if (!videoStream_) throw ToolError("out of memory");
    videoStream_->time_base = video_->time_base;
    videoStream_->avg_frame_rate = video_->framerate;
    check(avcodec_parameters_from_context(videoStream_->codecpar, video_), "video stream");

    picture_ = av_frame_alloc();
    if (!picture_) throw ToolError("out of memory");
    picture_->format = video_->pix_fmt;
    picture_->width = settings_.width;
    picture_->height = settings_.height;
    check(av_frame_get_buffer(picture_, 0), "video frame");
    if (!lossless) {
        scaler_ = sws_getContext(settings_.width, settings_.height, AV_PIX_FMT_BGR0, settings_.width, settings_.height,
                                 AV_PIX_FMT_YUV420P, SWS_FAST_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler_) throw ToolError("cannot convert frames to yuv420p");
    }
}

void VideoEncoder::Impl::openAudio()
{
    // Matroska states no AAC encoder delay, so players would hear it late there; Opus's is stated.
    const bool opus = std::strcmp(muxerFor(settings_.path), "matroska") == 0;
    const AVCodec* codec = opus ? avcodec_find_encoder_by_name("libopus") : avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) throw ToolError(opus ? "FFmpeg has no libopus encoder" : "FFmpeg has no AAC encoder");
    audio_ = avcodec_alloc_context3(codec);
    if (!audio_) throw ToolError("out of memory");
    audio_->sample_fmt = opus ? AV_SAMPLE_FMT_FLT : AV_SAMPLE_FMT_FLTP;
    audio_->sample_rate = settings_.sampleRate;
    audio_->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    audio_->bit_rate = 192000;
    audio_->time_base = AVRational{1, settings_.sampleRate};
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) audio_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    check(avcodec_open2(audio_, codec, nullptr), "cannot start the sound encoder");
    audioStream_ = avformat_new_stream(format_, nullptr);
    if (!audioStream_) throw ToolError("out of memory");
    audioStream_->time_base = audio_->time_base;
    check(avcodec_parameters_from_context(audioStream_->codecpar, audio_), "sound stream");

    sound_ = av_frame_alloc();
    if (!sound_) throw ToolError("out of memory");
    sound_->format = audio_->sample_fmt;
    sound_->sample_rate = settings_.sampleRate;
    sound_->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    sound_->nb_samples = audio_->frame_size > 0 ? audio_->frame_size : 1024;
    check(av_frame_get_buffer(sound_, 0), "sound frame");
}

void VideoEncoder::Impl::encode(AVCodecContext* codec, AVStream* stream, const AVFrame* frame)
{
    check(avcodec_send_frame(codec, frame), "encoding failed");
    for (;;) {
        const int got = avcodec_receive_packet(codec, packet_);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return;
        check(got, "encoding failed");
        av_packet_rescale_ts(packet_, codec->time_base, stream->time_base);
        packet_->stream_index = stream->index;
        check(av_interleaved_write_frame(format_, packet_), settings_.path.string() + ": write failed");
    }
}

void VideoEncoder::Impl::addFrame(const std::uint8_t* pixels, std::size_t pitch)
{
    check(av_frame_make_writable(picture_), "video frame");
    if (scaler_) {
        const std::uint8_t* planes[1] = {pixels};
        const int strides[1] = {static_cast<int>(pitch)};
        sws_scale(scaler_, planes, strides, 0, settings_.height, picture_->data, picture_->linesize);
    } else {
        for (int y = 0; y < settings_.height; ++y)
            std::memcpy(picture_->data[0] + static_cast<std::ptrdiff_t>(y) * picture_->linesize[0],
                        pixels + static_cast<std::size_t>(y) * pitch, static_cast<std::size_t>(settings_.width) * 4);
    }
    picture_->pts = framesWritten_++;
    encode(video_, videoStream_, picture_);
}

void VideoEncoder::Impl::sendAudioFrame(std::size_t frames)
{
    check(av_frame_make_writable(sound_), "sound frame");
    if (audio_->sample_fmt == AV_SAMPLE_FMT_FLT) {
        std::memcpy(sound_->data[0], pending_.data(), frames * 2 * sizeof(float));
    } else {
        auto* left = reinterpret_cast<float*>(sound_->data[0]);
        auto* right = reinterpret_cast<float*>(sound_->data[1]);
        for (std::size_t i = 0; i < frames; ++i) {
            left[i] = pending_[i * 2];
            right[i] = pending_[i * 2 + 1];
        }
    }
    const int fullSize = sound_->nb_samples;
    sound_->nb_samples = static_cast<int>(frames);
    sound_->pts = samplesWritten_;
    samplesWritten_ += static_cast<std::int64_t>(frames);
    encode(audio_, audioStream_, sound_);
    sound_->nb_samples = fullSize;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(frames * 2));
}

void VideoEncoder::Impl::addSound(const float* samples, std::size_t frames)
{
    pending_.insert(pending_.end(), samples, samples + frames * 2);
    const auto frameSize = static_cast<std::size_t>(sound_->nb_samples);
    while (pending_.size() >= frameSize * 2) sendAudioFrame(frameSize);
}

void VideoEncoder::Impl::finish()
{
    if (finished_) return;
    finished_ = true;
    if (!pending_.empty()) {
        // An encoder that needs whole frames gets the last one padded with silence.
        if (!(audio_->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME))
            pending_.resize(static_cast<std::size_t>(sound_->nb_samples) * 2, 0.0f);
        sendAudioFrame(pending_.size() / 2);
    }
    encode(video_, videoStream_, nullptr);
    encode(audio_, audioStream_, nullptr);
    check(av_write_trailer(format_), settings_.path.string() + ": cannot complete the file");
    avio_flush(io_);
    if (io_->error < 0) check(io_->error, settings_.path.string() + ": write failed");
    file.publish();
}

VideoEncoder::VideoEncoder(const VideoSettings& settings)
{
    checkSettings(settings);
    impl_ = std::make_unique<Impl>(settings);
}

VideoEncoder::~VideoEncoder() = default;

int VideoEncoder::soundRateFor(const std::filesystem::path& path)
{
    const char* muxer = muxerFor(path);
    return muxer && std::strcmp(muxer, "matroska") == 0 ? 48000 : 44100;
}

void VideoEncoder::checkSettings(const VideoSettings& settings)
{
    const char* muxer = muxerFor(settings.path);
    if (!muxer) throw ToolError(settings.path.string() + ": a video is written as .mp4 or .mkv");
    if (settings.codec == VideoCodec::ffv1 && std::strcmp(muxer, "matroska") != 0)
        throw ToolError("--codec ffv1 is written as .mkv");
}

void VideoEncoder::addFrame(const std::uint8_t* pixels, std::size_t pitch)
{
    impl_->addFrame(pixels, pitch);
}

void VideoEncoder::addSound(const float* samples, std::size_t frames)
{
    impl_->addSound(samples, frames);
}

void VideoEncoder::finish()
{
    impl_->finish();
}

void VideoEncoder::discard()
{
    impl_->file.discard();
}
