#include "script_text.h"

#include "song.h"

#include <string>

namespace {

// Milliseconds from the demo's start to bar `bar` of the music as the script plays it.
constexpr int bar(int n) { return static_cast<int>(n * kBarSeconds * 1000); }

const char* kMain = R"(# Lanterns: the sample demo. Everything is loaded before the clock is set to zero, so the
# sections below count from the first beat of the music.
loadmusic song.ogg song
loadimage nebula.jpg nebula
loadimage horizon.png horizon
loadimage title.tga title
loadimage credits.tga credits
loadimage ring.seq ring
createcolor 255 255 255 white
createcolor 0 0 0 black
createcolor 40 10 60 plum
loadflash intro.swf intro
loadscene citadel.psk citadel
loadscene ocean.psk ocean
settime 0
playmusic song 0
setvolume 255
)";

// 0–16 s, bars 0–7: the title over a slowly panning sky.
const char* kIntro = R"(# Intro: the sky pans, the mountains drift faster in front, the title fades in and out.
setlayer plum -2
setlayer nebula -1
setlayeralpha -1 0
setlayeralphadelta -1 0.25
setlayerposdelta -1 -14 0
setlayer horizon 1
setlayerpos 1 0 390
setlayerposdelta 1 -30 0
playflash intro 1 0
waituntil 4000
setlayer title 3
setlayerpos 3 94 200
setlayeralpha 3 0
setlayeralphadelta 3 0.5
waituntil 8000
setlayer ring 2
setlayerpos 2 336 60
setlayeradditive 2 1
waituntil 12000
stopflash
freeflash intro
setlayeralpha 3 1
setlayeralphadelta 3 -0.4
waituntil 15500
setlayer white 9
setlayeralpha 9 0
setlayeralphadelta 9 2
waituntil 16000
)";

// 16–48 s, bars 8–23: the citadel; its cameras cut themselves every two bars.
const char* kCitadel = R"(# Citadel: a white flash into the scene; the scene clock starts on the first beat of bar 8.
clearlayers
setscenetime 0
playscene citadel
setlayer white 9
setlayeralpha 9 1
setlayeralphadelta 9 -1.5
waituntil 15800
setlayeralpha 9 0
setlayeralphadelta 9 5
waituntil 16000
# The drop: flash again and let the scene run on.
setlayeralpha 9 1
setlayeralphadelta 9 -2
waituntil 31500
setlayeralpha 9 0
setlayeralphadelta 9 2
waituntil 32000
)";

// 48–72 s: the sea. The breakdown plays quieter; at 56 s the music jumps back to the drop.
const char* kOcean = R"(# Ocean: cameras are cut by name; the music is turned down, then seeks back to the drop.
playscene ocean
setscenetime 0
freescene citadel
setactivecamera Drift
setvolume 170
setlayer white 9
setlayeralpha 9 1
setlayeralphadelta 9 -1
waituntil 8000
playmusic song DROP_MS
setvolume 255
setactivecamera Low
setlayeralpha 9 0.8
setlayeralphadelta 9 -2
waituntil 12000
setactivecamera High
waituntil 16000
setactivecamera Drift
waituntil 20000
setactivecamera Low
waituntil 23500
setlayeralpha 9 0
setlayeralphadelta 9 2
waituntil 24000
)";

// 72–82 s: the outro, the music's last bars fading out.
const char* kOutro = R"(# Outro: the credits over the sky, then to black.
stopscene
freescene ocean
playmusic song OUTRO_MS
clearlayers
setlayer nebula -1
setlayerpos -1 -224 0
setlayerposdelta -1 10 0
setlayer white 9
setlayeralpha 9 1
setlayeralphadelta 9 -1
setlayer credits 3
setlayerpos 3 CREDITS_X 250
setlayeralpha 3 0
setlayeralphadelta 3 0.5
waituntil 6000
setvolume 180
setlayeralpha 3 1
setlayeralphadelta 3 -0.5
waituntil 8000
setvolume 100
setlayer black 8
setlayeralpha 8 0
setlayeralphadelta 8 0.6
waituntil 9000
setvolume 40
waituntil 10000
stopmusic
)";

std::string replaced(std::string text, const std::string& key, int value)
{
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at))
        text.replace(at, key.size(), std::to_string(value));
    return text;
}

} // namespace

std::vector<std::pair<std::string, std::string>> sampleScripts(int creditsWidth)
{
    std::string main = kMain;
    main += "include intro.psc 0\n";
    main += "include citadel.psc " + std::to_string(bar(8)) + "\n";
    main += "include ocean.psc " + std::to_string(bar(24)) + "\n";
    main += "include outro.psc " + std::to_string(bar(36)) + "\n";
    // Music file positions: the second drop replays the file's first, the outro is the file's own.
    std::string ocean = replaced(kOcean, "DROP_MS", bar(SongSections::drop));
    std::string outro = replaced(replaced(kOutro, "OUTRO_MS", bar(SongSections::outro)), "CREDITS_X", (800 - creditsWidth) / 2);
    return {{"demo.psc", main}, {"intro.psc", kIntro}, {"citadel.psc", kCitadel}, {"ocean.psc", ocean},
            {"outro.psc", outro}};
}
