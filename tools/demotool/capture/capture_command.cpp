// demotool capture: plays a demo without a screen at a fixed frame rate and writes frames as
// PNG files, for checking demos and for making videos.
#include "capture/capture_run.h"
#include "capture/frame_rate.h"
#include "commands.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

struct CaptureArguments {
    CaptureOptions options;
    std::string fps = "50";
    std::optional<double> from;
    std::optional<double> to;
    std::vector<double> at;
    std::uint64_t every = 1;
    bool fullScreen = false;
    std::string output;
    std::string codec = "h264";
};

bool namesVideo(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension == ".mp4" || extension == ".mkv";
}

void runCaptureCommand(CaptureArguments& arguments)
{
    const std::optional<double> frameMs = parseFrameRate(arguments.fps);
    if (!frameMs) throw ToolError("--fps " + arguments.fps + ": not a frame rate (e.g. 50, 59.94 or 60000/1001)");
    if (arguments.every == 0) throw ToolError("--every must be at least 1");
    CaptureOptions options = arguments.options;
    if (namesVideo(arguments.output)) {
        options.videoPath = arguments.output;
        if (!arguments.at.empty() || arguments.every != 1)
            throw ToolError("--at and --every choose PNG frames; a video holds every frame (use --from and --to)");
    } else {
        options.outputDirectory = arguments.output;
    }
    if (arguments.codec != "h264" && arguments.codec != "ffv1")
        throw ToolError("--codec " + arguments.codec + ": h264 or ffv1");
    if (arguments.codec == "ffv1" && options.videoPath.empty()) throw ToolError("--codec is for a video output");
    options.lossless = arguments.codec == "ffv1";
    options.rateText = arguments.fps;
    if (options.outputDirectory.empty() && options.videoPath.empty() && options.traceDirectory.empty())
        throw ToolError("nothing to write: give -o FOLDER for PNG frames, -o FILE.mp4 or .mkv for a video, "
                        "--trace FOLDER for traces");
    options.frameMs = *frameMs;
    options.selection.fromMs = arguments.from;
    options.selection.toMs = arguments.to;
    options.selection.atMs = arguments.at;
    std::sort(options.selection.atMs.begin(), options.selection.atMs.end());
    options.selection.every = arguments.every;
    // SDL's dummy driver keeps music silent but real unless the caller chose another one.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("EGL_PLATFORM", "surfaceless", 0);
    runCapture(options);
}

} // namespace

void addCaptureCommand(CLI::App& app)
{
    auto arguments = std::make_shared<CaptureArguments>();
    CLI::App* command = app.add_subcommand("capture", "Play a demo without a screen and write its frames as PNG or as a video.");
    command->footer("The demo is what demoplayer would play when started in DIR with the container given\n"
                    "with --archive: the script (and the scripts it includes) from the container first, then\n"
                    "from loose files; every other resource from loose files first, then the container.\n"
                    "Frame k is composed at exactly k x 1000 / RATE ms and\n"
                    "written as OUTDIR/frame_NNNNNN.png; with --trace, the same frames are written as\n"
                    "TRACEDIR/frame_NNNNNN.trace, device traces that each replay to that frame on their own\n"
                    "(demotool trace render). With -o FILE.mp4 or FILE.mkv every frame is encoded (H.264,\n"
                    "or FFV1 with --codec ffv1) with the demo's music (AAC in .mp4, Opus in .mkv), mixed to\n"
                    "the frame from what the script started, seeked, turned up or down and stopped when.\n"
                    "Ctrl-C stops after the frame being written and completes a shorter file.");
    command->add_option("-C,--directory", arguments->options.directory, "Folder the demo runs in (default: here)");
    command->add_option("--archive", arguments->options.archive, "Container to fall back to (.cfl or a one-file demo)");
    command->add_option("--fps", arguments->fps, "Frame rate: 50 (default), 59.94, 60000/1001, ...");
    command->add_option("--from", arguments->from, "Write no frame before this script time (ms)");
    command->add_option("--to", arguments->to, "Stop after this time (ms)");
    command->add_option("--at", arguments->at, "Write only the first frame at or after each of these times (ms)")
        ->delimiter(',');
    command->add_option("--every", arguments->every, "Write every N-th frame");
    auto* windowed = command->add_flag("--windowed", arguments->options.windowed, "Start as if No was answered");
    command->add_flag("--fullscreen", arguments->fullScreen, "Start as if Yes was answered (default)")
        ->excludes(windowed);
    command->add_option("-o,--output", arguments->output,
                        "Folder for the PNG frames, or a video file ending in .mp4 or .mkv");
    command->add_option("--codec", arguments->codec, "Video codec: h264 (default) or ffv1 (lossless, .mkv)");
    command->add_option("--trace", arguments->options.traceDirectory,
                        "Folder for a device trace of each chosen frame (docs/trace-format.md)");
    command->callback([arguments] { runCaptureCommand(*arguments); });
}
