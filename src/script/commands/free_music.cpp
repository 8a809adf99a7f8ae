// The free music command.
#include "script/commands/free_music.h"

#include "script/scripter.h"

bool FreeMusic::execute(float) {
    scripter_.removeMusic(slot);
    return true;
}
