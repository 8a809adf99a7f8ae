// The load music command.
#include "script/commands/load_music.h"

#include "music/music_stream.h"
#include "script/scripter.h"

#include <memory>

bool LoadMusic::execute(float) {
    scripter_.removeMusic(slot);
    scripter_.putMusic(slot, std::make_unique<MusicStream>(file));
    return true;
}
