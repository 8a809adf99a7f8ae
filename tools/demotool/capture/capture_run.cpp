#include "capture/capture_run.h"

#include "app/app_context.h"
#include "app/player.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "capture/capture_shell.h"
#include "capture/frame_writer.h"
#include "file_io.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/trace/tracing_device.h"
#include "platform/d3d9/trace/tracing_direct3d.h"
#include "platform/flash/extracted_movie.h"
#include "tool_error.h"

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
    const fs::path traces = outputFolder(options.traceDirectory);
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
    direct3DFactory = traces.empty() ? &headlessFactory : &tracingHeadlessFactory;
    startDeviceAndScript();

    int written = 0;
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
        if (appContext.quitRequested) break;
        if (wanted) {
            std::string error;
            if (!output.empty() && !writeBackBufferPng(appContext.device, (output / frameFileName(k, "png")).string(), error)) {
                runShutdown();
                throw ToolError(error);
            }
            if (!traces.empty()) {
                const std::string text = trace.str();
                try {
                    writeFileAtomically(traces / frameFileName(k, "trace"),
                                        {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
                } catch (const ToolError&) {
                    runShutdown();
                    throw;
                }
            }
            ++written;
        }
        if (interrupted || options.selection.finishedAfter(timeMs)) break;
    }
    std::fprintf(stderr, "demotool capture: %d frame(s) written to %s\n", written,
                 (output.empty() ? traces : output).string().c_str());
    runShutdown();
}
