#include "capture/capture_run.h"

#include "app/app_context.h"
#include "app/player.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "capture/capture_shell.h"
#include "capture/frame_writer.h"
#include "platform/d3d9/direct3d.h"
#include "platform/flash/extracted_movie.h"
#include "tool_error.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
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

std::string frameFileName(std::uint64_t k)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(k));
    return name;
}

} // namespace

void runCapture(CaptureOptions options)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    const fs::path output = fs::absolute(options.outputDirectory, failure);
    fs::create_directories(output, failure);
    if (failure || !fs::is_directory(output)) throw ToolError("cannot create " + options.outputDirectory);
    const std::string archivePath = options.archive.empty() ? "" : fs::absolute(options.archive).string();
    if (chdir(options.directory.c_str()) != 0) throw ToolError("cannot enter " + options.directory);

    static CaptureShell captureShell;
    setShell(&captureShell);
    std::signal(SIGINT, onInterrupt);
    // Ctrl-C waits for the frame (and any Flash load in it); other ends remove a movie copy.
    removeExtractedMoviesOnSignals();

    appContext.archive = std::make_unique<ResourceArchive>();
    if (!archivePath.empty() && !appContext.archive->open(archivePath))
        throw ToolError(options.archive + " holds no container");
    setTheArchive(appContext.archive.get());
    appContext.fullScreen = !options.windowed;
    direct3DFactory = &headlessFactory;
    startDeviceAndScript();

    int written = 0;
    for (std::uint64_t k = 0;; ++k) {
        const double timeMs = static_cast<double>(k) * options.frameMs;
        captureShell.counter = std::llround(timeMs * (CaptureShell::kFrequency / 1000.0));
        runFrame();
        // The frame on which the script ends is not drawn: the demo is over.
        if (appContext.quitRequested) break;
        if (options.selection.wants(k, timeMs)) {
            std::string error;
            if (!writeBackBufferPng(appContext.device, (output / frameFileName(k)).string(), error)) {
                runShutdown();
                throw ToolError(error);
            }
            ++written;
        }
        if (interrupted || options.selection.finishedAfter(timeMs)) break;
    }
    std::fprintf(stderr, "demotool capture: %d frame(s) written to %s\n", written, output.string().c_str());
    runShutdown();
}
