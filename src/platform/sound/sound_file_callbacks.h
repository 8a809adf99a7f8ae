// The five file callbacks a caller installs with File_SetCallbacks, kept together so the
// libraries can pass them on to the readers they create.
#pragma once

#include "platform/sound/sound_library.h"

struct SoundFileCallbacks {
    SoundOpenCallback open = nullptr;
    SoundCloseCallback close = nullptr;
    SoundReadCallback read = nullptr;
    SoundSeekCallback seek = nullptr;
    SoundTellCallback tell = nullptr;

    // All five present: a partial set cannot read a file, so it counts as none.
    bool complete() const { return open && close && read && seek && tell; }
};
