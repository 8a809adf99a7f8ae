// The process-wide sound library and its replacement by tests.
#include "platform/sound/sound_library.h"

#include "platform/sound/sdl_mixer_sound_library.h"

namespace {

SoundLibrary* installed = nullptr;

SoundLibrary& realLibrary()
{
    // Never destroyed: the process may end at any point with music still playing.
    static SdlMixerSoundLibrary* instance = new SdlMixerSoundLibrary();
    return *instance;
}

} // namespace

SoundLibrary& soundLibrary()
{
    return installed ? *installed : realLibrary();
}

void setSoundLibrary(SoundLibrary* replacement)
{
    installed = replacement;
}
