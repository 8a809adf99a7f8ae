// The keyword table: each keyword with the way its arguments are read.
#include "script/command_factory.h"

#include "script/commands/clear_layers.h"
#include "script/commands/create_color.h"
#include "script/commands/free_flash.h"
#include "script/commands/free_image.h"
#include "script/commands/free_music.h"
#include "script/commands/free_scene.h"
#include "script/commands/load_flash.h"
#include "script/commands/load_image.h"
#include "script/commands/load_music.h"
#include "script/commands/load_scene.h"
#include "script/commands/play_flash.h"
#include "script/commands/play_music.h"
#include "script/commands/play_scene.h"
#include "script/commands/remove_layer.h"
#include "script/commands/set_active_camera.h"
#include "script/commands/set_flash_time.h"
#include "script/commands/set_layer.h"
#include "script/commands/set_layer_additive.h"
#include "script/commands/set_layer_alpha.h"
#include "script/commands/set_layer_alpha_delta.h"
#include "script/commands/set_layer_pos.h"
#include "script/commands/set_layer_pos_delta.h"
#include "script/commands/set_scene_time.h"
#include "script/commands/set_time.h"
#include "script/commands/set_volume.h"
#include "script/commands/stop_flash.h"
#include "script/commands/stop_music.h"
#include "script/commands/stop_scene.h"
#include "script/commands/wait.h"
#include "script/commands/wait_until.h"
#include "script/script_arguments.h"

#include <string_view>

namespace {

using Args = std::array<std::string, 5>;
using Factory = std::unique_ptr<ScriptItem> (*)(Scripter&, const Args&, float timeOffset);

struct Keyword {
    std::string_view keyword;
    Factory make;
};

template <typename Command, typename... Values>
std::unique_ptr<ScriptItem> make(Scripter& scripter, Values&&... values) {
    return std::make_unique<Command>(scripter, std::forward<Values>(values)...);
}

// In the language's own order; every keyword is lower case.
constexpr Keyword keywords[] = {
    {"loadflash", [](Scripter& s, const Args& a, float) { return make<LoadFlash>(s, a[0], readSlot(a[1])); }},
    {"loadscene", [](Scripter& s, const Args& a, float) { return make<LoadScene>(s, a[0], readSlot(a[1])); }},
    {"loadmusic", [](Scripter& s, const Args& a, float) { return make<LoadMusic>(s, a[0], readSlot(a[1])); }},
    {"loadimage", [](Scripter& s, const Args& a, float) { return make<LoadImage>(s, a[0], readSlot(a[1])); }},
    {"createcolor",
     [](Scripter& s, const Args& a, float) {
         return make<CreateColor>(s, readInteger(a[0]), readInteger(a[1]), readInteger(a[2]), readSlot(a[3]));
     }},
    {"settime", [](Scripter& s, const Args& a, float o) { return make<SetTime>(s, readTime(a[0], o)); }},
    {"setflashtime", [](Scripter& s, const Args& a, float o) { return make<SetFlashTime>(s, readTime(a[0], o)); }},
    {"setscenetime", [](Scripter& s, const Args& a, float o) { return make<SetSceneTime>(s, readTime(a[0], o)); }},
    {"waituntil", [](Scripter& s, const Args& a, float o) { return make<WaitUntil>(s, readTime(a[0], o)); }},
    // A duration, yet shifted by the offset like every time argument.
    {"wait", [](Scripter& s, const Args& a, float o) { return make<Wait>(s, readTime(a[0], o)); }},
    {"playscene", [](Scripter& s, const Args& a, float) { return make<PlayScene>(s, readSlot(a[0])); }},
    {"setactivecamera", [](Scripter& s, const Args& a, float) { return make<SetActiveCamera>(s, a[0]); }},
    {"playflash",
     [](Scripter& s, const Args& a, float) {
         return make<PlayFlash>(s, readSlot(a[0]), readInteger(a[1]), readInteger(a[2]));
     }},
    {"playmusic",
     [](Scripter& s, const Args& a, float) { return make<PlayMusic>(s, readSlot(a[0]), readInteger(a[1])); }},
    {"setvolume", [](Scripter& s, const Args& a, float) { return make<SetVolume>(s, readInteger(a[0])); }},
    {"setlayer",
     [](Scripter& s, const Args& a, float) { return make<SetLayer>(s, readSlot(a[0]), readInteger(a[1])); }},
    {"removelayer", [](Scripter& s, const Args& a, float) { return make<RemoveLayer>(s, readInteger(a[0])); }},
    {"clearlayers", [](Scripter& s, const Args&, float) { return make<ClearLayers>(s); }},
    {"setlayerpos",
     [](Scripter& s, const Args& a, float) {
         return make<SetLayerPos>(s, readInteger(a[0]), readNumber(a[1]), readNumber(a[2]));
     }},
    {"setlayeralpha",
     [](Scripter& s, const Args& a, float) { return make<SetLayerAlpha>(s, readInteger(a[0]), readNumber(a[1])); }},
    {"setlayerposdelta",
     [](Scripter& s, const Args& a, float) {
         return make<SetLayerPosDelta>(s, readInteger(a[0]), readNumber(a[1]), readNumber(a[2]));
     }},
    {"setlayeralphadelta",
     [](Scripter& s, const Args& a, float) {
         return make<SetLayerAlphaDelta>(s, readInteger(a[0]), readNumber(a[1]));
     }},
    {"setlayeradditive",
     [](Scripter& s, const Args& a, float) {
         return make<SetLayerAdditive>(s, readInteger(a[0]), readInteger(a[1]) != 0);
     }},
    {"freeflash", [](Scripter& s, const Args& a, float) { return make<FreeFlash>(s, readSlot(a[0])); }},
    {"freescene", [](Scripter& s, const Args& a, float) { return make<FreeScene>(s, readSlot(a[0])); }},
    {"freemusic", [](Scripter& s, const Args& a, float) { return make<FreeMusic>(s, readSlot(a[0])); }},
    {"freeimage", [](Scripter& s, const Args& a, float) { return make<FreeImage>(s, readSlot(a[0])); }},
    {"stopflash", [](Scripter& s, const Args&, float) { return make<StopFlash>(s); }},
    {"stopscene", [](Scripter& s, const Args&, float) { return make<StopScene>(s); }},
    {"stopmusic", [](Scripter& s, const Args&, float) { return make<StopMusic>(s); }},
};

}  // namespace

std::unique_ptr<ScriptItem> makeCommand(Scripter& scripter, const ScriptLine& line) {
    for (const Keyword& entry : keywords) {
        if (entry.keyword == line.keyword) return entry.make(scripter, line.args, line.timeOffset);
    }
    return nullptr;
}
