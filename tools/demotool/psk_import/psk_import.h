// `demotool psk import`: turns a glTF, FBX, OBJ or 3DS scene (read through Assimp) into a PSK
// scene file the player draws as the source's own viewer shows it, and copies the textures
// beside it. What PSK cannot hold is dropped with a note per object; only a source with
// nothing usable in it (no mesh, camera or light) is an error.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct PskImportOptions {
    std::filesystem::path input;
    std::filesystem::path output;
    float fps = 50.0f;  // transform tracks are sampled at this rate
    float scale = 1.0f; // multiplies every length (positions, clip planes, light reach)
    // Where textures go; beside the output when absent. Names in the file are relative to
    // the output's folder, which is meant to be the demo's top folder.
    std::optional<std::filesystem::path> texturesDir;
};

struct PskImportSummary {
    std::vector<std::string> notes; // one line per thing dropped or changed
    unsigned nodes = 0;
    unsigned meshes = 0;
    unsigned materials = 0;
    unsigned textures = 0;
    unsigned cameras = 0;
    unsigned lights = 0;
    unsigned tracks = 0;
};

// Writes the output and the textures; raises ToolError for an unreadable or empty source.
// Each note is also written to `notesOut` (as "demotool: IN: note"), before any error.
PskImportSummary importSceneToPsk(const PskImportOptions& options, std::ostream* notesOut = nullptr);
