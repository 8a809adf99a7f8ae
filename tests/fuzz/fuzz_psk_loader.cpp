// Fuzzes the scene loader: arbitrary bytes load into a scene on the recording device, which is
// then prepared and animated. Whatever the bytes, the loader either builds the scene or ends
// the program with an "Error" box and exit code 0 (a ProcessExit under the scripted shell);
// it never reads outside the data or writes through a missing object. A nested file named
// "nested.psk" is answered from memory with a small scene; every other name is missing.
// Textures come from an archive made at start-up ("wood.tga", a 2 × 2 picture). The working
// folder is left alone (libFuzzer writes its findings relative to it), so no ".seq" file is
// found and every texture is a plain one; the sequence rule has its own unit tests.
// Seeds: tests/psk/make_psk_loader_seeds.
// fuzz-libs: psk archive platform_d3d9 platform_shell
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/shell/scripted_shell.h"
#include "psk/psk_scene_loader.h"
#include "psk/psk_writer.h"
#include "scene/scene_graph.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include <unistd.h>

namespace {

const std::vector<std::uint8_t>& nestedScene()
{
    static const std::vector<std::uint8_t> bytes = [] {
        PskNodeRecord node;
        node.name = "Nested";
        PskTransformTrack track{0, {0, 100, 0, 100}, kPskTrackPosition, {PskTransformSample{}, PskTransformSample{}}};
        return PskWriter().chunk(2, 0, PskGroup{node}).chunk(1, 0, track).bytes();
    }();
    return bytes;
}

// An uncompressed 32-bit TGA, top row first.
std::vector<std::uint8_t> tinyPicture()
{
    std::vector<std::uint8_t> bytes = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 32, 0x28};
    for (int i = 0; i < 4; ++i) bytes.insert(bytes.end(), {0x40, 0x80, 0xC0, 0xFF});
    return bytes;
}

void write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void run(const std::uint8_t* data, std::size_t size)
{
    RecordingDevice* device = new RecordingDevice(16, 16, D3DFMT_X8R8G8B8);
    {
        SceneGraph scene(device);
        PSKSceneLoader& loader = scene.create<PSKSceneLoader>(scene.nextId());
        loader.setFileReader([](const std::string& name) {
            if (name != "nested.psk")
                failWithMessage("Error", "Couldn't open file: " + name, 0);
            return nestedScene();
        });
        loader.setFileName("fuzz.psk");
        try {
            loader.parseScene(data, size, -1, 0.0f, 1.0f, true);
            scene.setLoaded(true);
            scene.prepare();
            const float times[] = {-1.0f, 0.0f, 50.0f, 1.0e6f, std::numeric_limits<float>::infinity()};
            for (float t : times) {
                scene.animate(t);
                scene.render();
            }
        } catch (const ProcessExit& exit) {
            if (exit.code != 0)
                __builtin_trap();
        }
    }
    device->Release();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every archive read reopens its file, so the file stays until the fuzzer exits.
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("fuzz_psk_loader_" + std::to_string(::getpid()) + ".cfl");
    const ContainerResult container = writeContainer({{"wood.tga", tinyPicture(), 0}}, 0);
    if (!container.error.empty()) std::abort();
    write(file, container.bytes);
    std::atexit([] { std::filesystem::remove(file); });
    static ResourceArchive archive;
    if (!archive.open(file.string())) std::abort();
    setTheArchive(&archive);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedShell shell;
    setShell(&shell);
    run(data, size);
    for (const auto& box : shell.boxes) {
        if (box.caption != "Error")
            __builtin_trap();
    }
    setShell(nullptr);
    return 0;
}
