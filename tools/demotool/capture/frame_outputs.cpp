#include "capture/frame_outputs.h"

#include "tool_error.h"
#include "video/frame_rate_ratio.h"

#include <cstdio>

namespace {

std::string frameFileName(std::uint64_t k)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(k));
    return name;
}

} // namespace

FrameOutputs::FrameOutputs(const CaptureOptions& options, const std::filesystem::path& pngFolder,
                           const SoundtrackRecorder* recorder)
{
    if (!pngFolder.empty()) png_ = std::make_unique<PngFrameWriter>(pngFolder);
    if (!options.videoPath.empty() && recorder) {
        const auto rate = parseFrameRateRatio(options.rateText);
        if (!rate) throw ToolError("--fps " + options.rateText + ": not a frame rate");
        VideoSettings settings;
        settings.path = std::filesystem::absolute(options.videoPath);
        settings.codec = options.lossless ? VideoCodec::ffv1 : VideoCodec::h264;
        settings.rateNumerator = rate->numerator;
        settings.rateDenominator = rate->denominator;
        settings.sampleRate = VideoEncoder::soundRateFor(settings.path);
        video_ = std::make_unique<VideoCapture>(settings, *recorder, options.frameMs);
    }
}

void FrameOutputs::add(IDirect3DDevice9* device, std::uint64_t k, double timeMs)
{
    if (!png_ && !video_) return;
    std::string error;
    if (!reader_.read(device, pixels_, error)) throw ToolError(error);
    if (video_) {
        if (pixels_.width != 800 || pixels_.height != 600) throw ToolError("the back buffer is not 800 x 600");
        video_->addFrame(pixels_.bgrx.data(), std::size_t{pixels_.width} * 4, timeMs);
    }
    if (png_) png_->add(frameFileName(k), png_ && video_ ? pixels_ : std::move(pixels_));
}

void FrameOutputs::finish()
{
    if (png_) png_->finish();
    if (video_) video_->finish();
}

void FrameOutputs::abandon()
{
    if (video_) video_->discard();
    try {
        if (png_) png_->finish();
    } catch (const ToolError&) {
        // The demo's own message is the one to end with.
    }
}
