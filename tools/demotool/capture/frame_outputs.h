// Where capture sends the frames it draws: PNG files (encoded off the drawing thread), a video
// with its soundtrack, or neither (traces only). One object so the loop treats them alike.
#pragma once

#include "capture/back_buffer_reader.h"
#include "capture/capture_run.h"
#include "capture/png_frame_writer.h"
#include "platform/sound/soundtrack_recorder.h"
#include "video/video_capture.h"

#include <filesystem>
#include <memory>

class FrameOutputs {
public:
    // recorder: the sound library installed for the capture (a video's soundtrack), or null.
    FrameOutputs(const CaptureOptions& options, const std::filesystem::path& pngFolder,
                 const SoundtrackRecorder* recorder);

    // The device's frame k, composed at timeMs. Throws ToolError.
    void add(IDirect3DDevice9* device, std::uint64_t k, double timeMs);
    // Completes what was written. Throws ToolError.
    void finish();
    // For an exit in the middle (a fatal message of the demo): the PNG frames drawn so far
    // are still written, an unfinished video is removed.
    void abandon();
    // Lets go of device resources (before shutdown).
    void release() { reader_.release(); }

private:
    BackBufferReader reader_;
    FramePixels pixels_;
    std::unique_ptr<PngFrameWriter> png_;
    std::unique_ptr<VideoCapture> video_;
};
