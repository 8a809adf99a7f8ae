// The stop music command.
#include "script/commands/stop_music.h"

#include "music/music_stream.h"
#include "script/scripter.h"

bool StopMusic::execute(float) {
    if (MusicStream* current = scripter_.currentMusic()) current->stop();
    scripter_.setCurrentMusic(nullptr);
    return true;
}
