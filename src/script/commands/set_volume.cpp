// The set volume command.
#include "script/commands/set_volume.h"

#include "music/music_stream.h"
#include "script/scripter.h"

bool SetVolume::execute(float) {
    if (MusicStream* current = scripter_.currentMusic()) current->setVolume(volume);
    return true;
}
