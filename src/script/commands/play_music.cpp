// The play music command.
#include "script/commands/play_music.h"

#include "music/music_stream.h"
#include "platform/shell/shell.h"
#include "script/scripter.h"

bool PlayMusic::execute(float) {
    MusicStream* stream = scripter_.findMusic(slot);
    if (!stream) {
        failWithMessage("PlayMusic error", "The music slot '" + slot + "' is empty: PlayMusic failed!", 0);
    }
    if (MusicStream* current = scripter_.currentMusic()) current->stop();
    scripter_.setCurrentMusic(stream);
    stream->play(startMs);
    return true;
}
