// Fuzzes an animated texture's sequence text: whatever the count and the "i%d" keys say, the
// texture loads only names the text gives (every such name is answered from the texture
// cache, so a load of any other name would end the run), holds at least one image and never
// more than the text names, and any active image selects inside the list.
// fuzz-libs: scene platform_shell platform_d3d9_recording
#include "platform/d3d9/recording/recording_device.h"
#include "platform/shell/scripted_shell.h"
#include "render/state_cache.h"
#include "scene/animated_texture.h"
#include "scene/configuration.h"
#include "scene/scene_graph.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

void provide(SceneGraph& scene, std::string_view name)
{
    DeviceRef<IDirect3DTexture9>& slot = scene.stateCache().textureSlot(std::string(name));
    if (slot) return;
    scene.device()->CreateTexture(1, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, slot.out(), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedShell shell;
    setShell(&shell);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Configuration named;
    named.parse(text);

    auto* device = new RecordingDevice(16, 16, D3DFMT_X8R8G8B8);
    device->setKeepCalls(false);
    {
        SceneGraph scene(device);
        std::size_t candidates = 0;
        for (const auto& [key, value] : named.withPrefix("i")) {
            provide(scene, value);
            ++candidates;
        }
        AnimatedTexture& texture = scene.create<AnimatedTexture>(scene.nextId());
        texture.name = "own.png";
        provide(scene, texture.name);
        try {
            texture.loadImages(text, 0.0f, 1.0f);
        } catch (const ProcessExit&) {
            __builtin_trap(); // a name outside the text was loaded
        }
        if (texture.imageCount() == 0 || texture.imageCount() > std::max<std::size_t>(candidates, 1)) __builtin_trap();
        const float frames[] = {-1.0e30f, -7.5f, -1.0f, 0.0f, 2.9f, 1.0e9f, 3.0e38f,
                                std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
        for (float frame : frames) {
            texture.activeImage = frame;
            texture.refresh(false);
            if (texture.currentImage() < 0 || static_cast<std::size_t>(texture.currentImage()) >= texture.imageCount())
                __builtin_trap();
            if (!texture.deviceTexture()) __builtin_trap();
        }
        scene.setLoaded(true);
        try {
            for (float t : {0.0f, 5.0f, 1.0e6f}) scene.animate(t);
        } catch (const ProcessExit&) {
            // Tracks may end the run with their own message (keys out of order); nothing else.
            if (shell.boxes.empty() || shell.boxes.back().text != "Mit\xE4hittoo") __builtin_trap();
        }
    }
    device->Release();
    setShell(nullptr);
    return 0;
}
