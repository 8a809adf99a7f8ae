// Fuzzes node property text: any bytes parse into a store whose keys are lowered, hold no '='
// or line break and are found again by lookup; the keyframe tracks read from it are bounded
// by what is written and evaluate at any time without reading outside their keys.
// fuzz-libs: scene platform_shell
#include "platform/shell/scripted_shell.h"
#include "scene/configuration.h"
#include "scene/preparable.h"
#include "scene/scene_graph.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Knows two fields; other names give no field, as some scene classes do.
class Target final : public Preparable {
public:
    float x = 0, y = 0;
    void refresh(bool) override {}
    float* controlField(const std::string& name) override
    {
        if (name == "X") return &x;
        if (name == "Y") return &y;
        return nullptr;
    }
};

void checkStore(const Configuration& properties)
{
    for (const auto& [key, value] : properties.withPrefix("")) {
        for (char c : key) {
            if (c == '=' || c == '\n' || (c >= 'A' && c <= 'Z')) __builtin_trap();
        }
        if (value.find('=') != std::string_view::npos || value.find('\n') != std::string_view::npos) __builtin_trap();
        const char* found = properties.getString(key);
        if (!found || std::string_view(found) != value) __builtin_trap();
        properties.getInt(key);
        properties.getFloat(key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedShell shell;
    setShell(&shell);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Configuration properties;
    properties.parse(text);
    checkStore(properties);

    SceneGraph scene(nullptr);
    Target target;
    target.readAnimations(scene, properties, 3.0f, 0.5f);
    if (scene.controllerCount() > properties.size()) __builtin_trap();

    scene.setLoaded(true);
    const float times[] = {-1.0e30f, -1.0f, 0.0f, 0.5f, 1.0f, 10.0f, 1000.0f, 1.0e9f, 3.0e38f,
                           std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    try {
        for (float t : times) scene.animate(t);
    } catch (const ProcessExit& exit) {
        // Only the "no later key" message ends a track's evaluation.
        if (exit.code != 0 || shell.boxes.empty() || shell.boxes.back().text != "Mit\xE4hittoo") __builtin_trap();
    }
    setShell(nullptr);
    return 0;
}
