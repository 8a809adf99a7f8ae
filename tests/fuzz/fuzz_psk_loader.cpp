// Fuzzes the scene loader: arbitrary bytes load into a scene on the recording device, which is
// then prepared and animated. Whatever the bytes, the loader either builds the scene or ends
// the program with an "Error" box and exit code 0 (a ProcessExit under the scripted shell);
// it never reads outside the data or writes through a missing object. A nested file named
// "nested.psk" is answered from memory with a small scene; every other name is missing.
// Seeds: tests/psk/make_psk_loader_seeds.
// fuzz-libs: psk platform_d3d9 platform_shell
#include "platform/d3d9/recording/recording_device.h"
#include "platform/shell/scripted_shell.h"
#include "psk/psk_scene_loader.h"
#include "psk/psk_writer.h"
#include "scene/scene_graph.h"

#include <cstddef>
#include <cstdint>
#include <limits>

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
