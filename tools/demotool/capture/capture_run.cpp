#include "capture/capture_run.h"

#include "app/app_context.h"
#include "app/player.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "capture/capture_shell.h"
#include "capture/frame_outputs.h"
#include "capture/progress_bar.h"
#include "file_io.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/trace/tracing_device.h"
#include "platform/d3d9/trace/tracing_direct3d.h"
#include "platform/flash/extracted_movie.h"
#include "platform/sound/sound_library.h"
#include "platform/sound/soundtrack_recorder.h"
#include "tool_error.h"
#include "video/music_decoder.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

IDirect3D9* headlessFactory(UINT)
{
    return createHeadlessDirect3D9();
}

// With --trace the player's device is a tracing device over the headless one.
TracingDevice* tracer = nullptr;

IDirect3D9* tracingHeadlessFactory(UINT)
{
    return createTracingDirect3D9(createHeadlessDirect3D9(), [](TracingDevice* device) { tracer = device; });
}

CaptureShell captureShell;
FrameOutputs* outputs = nullptr;
// Installed for the rest of the process: the player's fatal exits may still reach it.
std::unique_ptr<SoundtrackRecorder> recorder;

// Forgets the outputs however runCapture is left.
struct OutputsInstalled {
    explicit OutputsInstalled(FrameOutputs& installed) { outputs = &installed; }
    ~OutputsInstalled() { outputs = nullptr; }
    OutputsInstalled(const OutputsInstalled&) = delete;
    OutputsInstalled& operator=(const OutputsInstalled&) = delete;
};

void abandonOutputs()
{
    if (outputs) outputs->abandon();
}

// How many frames the capture draws, when --to says.
std::optional<std::uint64_t> framesToDraw(const CaptureOptions& options)
{
    if (!options.selection.toMs) return std::nullopt;
    return static_cast<std::uint64_t>(std::floor(*options.selection.toMs / options.frameMs)) + 1;
}

std::string frameFileName(std::uint64_t k, const char* extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06llu.%s", static_cast<unsigned long long>(k), extension);
    return name;
}

std::filesystem::path outputFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    if (folder.empty()) return {};
    std::error_code failure;
    const fs::path path = fs::absolute(folder, failure);
    fs::create_directories(path, failure);
    if (failure || !fs::is_directory(path)) throw ToolError("cannot create " + folder);
    return path;
}

} // namespace

void runCapture(CaptureOptions options)
{
    namespace fs = std::filesystem;
    const fs::path output = outputFolder(options.outputDirectory);
    if (!options.videoPath.empty()) {
        // Relative to where capture was started, not to the demo's folder.
        options.videoPath = fs::absolute(options.videoPath).string();
        VideoSettings check;
        check.path = options.videoPath;
        check.codec = options.lossless ? VideoCodec::ffv1 : VideoCodec::h264;
        VideoEncoder::checkSettings(check);
    }
    const fs::path traces = outputFolder(options.traceDirectory);
    const std::string archivePath = options.archive.empty() ? "" : fs::absolute(options.archive).string();
    if (chdir(options.directory.c_str()) != 0) throw ToolError("cannot enter " + options.directory);

    setShell(&captureShell);
    // A video's soundtrack is made from what the demo starts when, on the virtual clock.
    if (!options.videoPath.empty()) {
        recorder = std::make_unique<SoundtrackRecorder>(
            [] { return static_cast<double>(captureShell.counter) * (1000.0 / CaptureShell::kFrequency); },
            [](std::span<const std::uint8_t> bytes) { return musicOpens(bytes); });
        setSoundLibrary(recorder.get());
    }
    FrameOutputs frameOutputs(options, output, recorder.get());
    const OutputsInstalled installed(frameOutputs);
    captureShell.beforeExit = &abandonOutputs;
    std::signal(SIGINT, onInterrupt);
    // Ctrl-C waits for the frame (and any Flash load in it); other ends remove a movie copy.
    removeExtractedMoviesOnSignals();

    appContext.archive = std::make_unique<ResourceArchive>();
    if (!archivePath.empty() && !appContext.archive->open(archivePath))
        throw ToolError(options.archive + " holds no container");
    setTheArchive(appContext.archive.get());
    appContext.fullScreen = !options.windowed;
    direct3DFactory = traces.empty() ? &headlessFactory : &tracingHeadlessFactory;
    startDeviceAndScript();

    int written = 0;
    ProgressBar progress(framesToDraw(options));
    double endMs = 0;
    for (std::uint64_t k = 0;; ++k) {
        const double timeMs = static_cast<double>(k) * options.frameMs;
        captureShell.counter = std::llround(timeMs * (CaptureShell::kFrequency / 1000.0));
        const bool wanted = options.selection.wants(k, timeMs);
        // A frame's trace holds everything from the end of the frame before to its Present.
        std::ostringstream trace;
        if (wanted && tracer) tracer->openTrace(trace);
        runFrame();
        if (tracer) tracer->closeTrace();
        // The frame on which the script ends is not drawn: the demo is over.
        endMs = timeMs;
        if (appContext.quitRequested) break;
        if (wanted) {
            try {
                // Read back past the tracing device, so the copy surface never shows up in
                // a later frame's trace as one of the demo's objects.
                frameOutputs.add(tracer ? tracer->inner() : appContext.device, k, timeMs);
            } catch (const ToolError&) {
                frameOutputs.release();
                runShutdown();
                throw;
            }
            if (!traces.empty()) {
                const std::string text = trace.str();
                try {
                    writeFileAtomically(traces / frameFileName(k, "trace"),
                                        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
                } catch (const ToolError&) {
                    frameOutputs.release();
                    runShutdown();
                    throw;
                }
            }
            ++written;
        }
        progress.update(k + 1);
        endMs = timeMs + options.frameMs;
        if (interrupted || options.selection.finishedAfter(timeMs)) break;
    }
    progress.finish();
    if (recorder) recorder->finish(endMs);
    frameOutputs.release();
    runShutdown();
    frameOutputs.finish();
    const std::string where = !options.videoPath.empty() ? options.videoPath : (output.empty() ? traces : output).string();
    std::fprintf(stderr, "demotool capture: %d frame(s) written to %s%s\n", written, where.c_str(),
                 interrupted ? " (interrupted)" : "");
}
