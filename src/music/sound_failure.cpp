// The sound library's fatal-error path: message, library shutdown, exit.
#include "music/sound_failure.h"

#include "music/sound_error_text.h"
#include "platform/shell/shell.h"
#include "platform/sound/sound_library.h"

#include <cstdlib>

void failWithSoundError()
{
    SoundLibrary& library = soundLibrary();
    shell().showMessageBox(kSoundErrorCaption, soundErrorText(library.GetError()), MB_OK);
    library.Close();
    shell().exitProcess(0);
    std::_Exit(0);  // exitProcess never returns; this keeps the promise if an override did
}
