// demotool psk import IN -o OUT.psk [--fps N] [--scale S] [--textures DIR]: converts a glTF,
// FBX, OBJ or 3DS scene into a PSK scene file with its textures (docs/psk-import.md).
#include "psk_import_command.h"

#include "psk_import/psk_import.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <iostream>
#include <memory>

namespace {

struct PskImportArguments {
    std::string input;
    std::string output;
    float fps = 50.0f;
    float scale = 1.0f;
    std::string textures;
};

void runPskImport(const PskImportArguments& arguments)
{
    PskImportOptions options;
    options.input = arguments.input;
    options.output = arguments.output;
    options.fps = arguments.fps;
    options.scale = arguments.scale;
    if (!arguments.textures.empty())
        options.texturesDir = arguments.textures;
    const PskImportSummary summary = importSceneToPsk(options, &std::cerr);
    std::cout << arguments.output << ": " << summary.nodes << " nodes, " << summary.meshes << " meshes, "
              << summary.materials << " materials, " << summary.textures << " textures, " << summary.cameras
              << " cameras, " << summary.lights << " lights, " << summary.tracks << " tracks\n";
}

// CLI11 checks the range; NaN and infinity are refused here as well.
CLI::Validator positiveFinite()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            try {
                std::size_t used = 0;
                const float value = std::stof(text, &used);
                if (used == text.size() && std::isfinite(value) && value > 0.0f && value < 1.0e6f)
                    return {};
            } catch (const std::exception&) {
            }
            return "must be a positive number below 1000000";
        },
        "POSITIVE");
}

} // namespace

void addPskImportCommand(CLI::App& psk)
{
    auto arguments = std::make_shared<PskImportArguments>();
    CLI::App* command = psk.add_subcommand("import", "Convert a glTF, FBX, OBJ or 3DS scene into a PSK scene file.");
    command->add_option("IN", arguments->input, "Source scene (.gltf, .glb, .fbx, .obj, .3ds, ...)")->required();
    command->add_option("-o,--output", arguments->output, "PSK file to write")->required();
    command->add_option("--fps", arguments->fps, "Samples per second of animation tracks (default 50)")
        ->check(positiveFinite());
    command->add_option("--scale", arguments->scale, "Multiplies every length (default 1)")->check(positiveFinite());
    command->add_option("--textures", arguments->textures,
                        "Folder for the textures (default: beside the output); names in the file are relative "
                        "to the output's folder");
    command->footer("What PSK cannot hold is dropped with a note per object on standard error; the exit code is 1 "
                    "only when the source has no mesh, camera or light.");
    command->callback([arguments] { runPskImport(*arguments); });
}
