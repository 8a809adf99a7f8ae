// demotool trace render: replays a device trace on the headless OpenGL device and writes the
// back buffer as it stood at the trace's last Present (or at its end) as a PNG. The way to
// look at what a recorded frame gives on our device next to the real Direct3D 9 image.
#include "commands.h"
#include "file_io.h"
#include "tool_error.h"

#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/trace/trace_render.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdlib>
#include <iostream>

namespace {

struct TraceRenderArguments {
    std::string tracePath;
    std::string outputPath;
    std::string size;
};

// "WxH" with both between 1 and the largest trace size.
bool parseSize(const std::string& text, unsigned& width, unsigned& height)
{
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    auto first = std::from_chars(text.data(), text.data() + x, width);
    auto second = std::from_chars(text.data() + x + 1, text.data() + text.size(), height);
    return first.ec == std::errc() && first.ptr == text.data() + x && second.ec == std::errc() &&
           second.ptr == text.data() + text.size() && width >= 1 && height >= 1 &&
           width <= TraceReader::kMaxDimension && height <= TraceReader::kMaxDimension;
}

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

void runTraceRender(const TraceRenderArguments& arguments)
{
    const std::vector<std::uint8_t> bytes = readFileBytes(arguments.tracePath);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    TraceHeader header;
    std::string error;
    if (!readTraceHeader(text, header, error))
        throw ToolError(arguments.tracePath + ": " + error);
    unsigned width = header.width, height = header.height;
    if (!arguments.size.empty() && !parseSize(arguments.size, width, height))
        throw ToolError("--size " + arguments.size + ": expected WIDTHxHEIGHT, e.g. 640x480");

    setenv("EGL_PLATFORM", "surfaceless", 0);
    IDirect3D9* d3d = createHeadlessDirect3D9();
    if (!d3d)
        throw ToolError("no headless OpenGL 4.5 device available (EGL)");
    D3DPRESENT_PARAMETERS pp = presentParametersForTrace(header, width, height);
    IDirect3DDevice9* device = nullptr;
    const HRESULT created = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                              D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device);
    if (FAILED(created) || !device) {
        d3d->Release();
        throw ToolError("cannot create a " + std::to_string(width) + "x" + std::to_string(height) + " device");
    }
    TraceRendering rendering = renderTrace(text, device);
    device->Release();
    d3d->Release();
    if (!rendering.error.empty())
        throw ToolError(arguments.tracePath + ": " + rendering.error);
    if (rendering.replay.failedCalls)
        std::cerr << "demotool: warning: " << rendering.replay.failedCalls
                  << " calls failed on this device; first: " << rendering.replay.firstFailure << '\n';

    std::vector<std::uint8_t> png;
    const CapturedImage& image = rendering.image;
    if (!stbi_write_png_to_func(appendBytes, &png, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                                image.rgba.data(), static_cast<int>(image.width * 4)))
        throw ToolError("cannot encode the PNG");
    writeFileAtomically(arguments.outputPath, png);
}

} // namespace

void addTraceCommand(CLI::App& app)
{
    CLI::App* trace = app.add_subcommand("trace", "Work with device traces (see docs/trace-format.md).");
    trace->require_subcommand(1);
    auto arguments = std::make_shared<TraceRenderArguments>();
    CLI::App* render = trace->add_subcommand("render", "Replay a trace on the headless OpenGL device, save a PNG.");
    render->add_option("TRACE", arguments->tracePath, "Trace file")->required();
    render->add_option("-o,--output", arguments->outputPath, "PNG to write")->required();
    render->add_option("--size", arguments->size, "Back-buffer size WIDTHxHEIGHT (default: the trace's)");
    render->footer("The image is the back buffer as it stood at the trace's last Present, or at its end.");
    render->callback([arguments] { runTraceRender(*arguments); });
}
