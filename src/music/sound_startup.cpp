// The sound library's start-up sequence and its version check.
#include "music/sound_startup.h"

#include "music/music_file_callbacks.h"
#include "music/sound_failure.h"
#include "platform/shell/shell.h"
#include "platform/sound/sound_library.h"

#include <cstdio>

namespace {

constexpr int kMixRate = 44100;
constexpr int kSoftwareChannels = 32;
constexpr int kMixBufferMs = 150;
constexpr int kStreamBufferMs = 2000;

std::string wrongVersionMessage(const std::string& libraryName, float requiredVersion)
{
    char text[256];
    std::snprintf(text, sizeof text, "Error : You are using the wrong DLL version!  You should be using %s %.02f\n",
                  libraryName.c_str(), static_cast<double>(requiredVersion));
    return text;
}

} // namespace

void initSound()
{
    SoundLibrary& library = soundLibrary();
    const float required = library.RequiredVersion();
    if (library.GetVersion() < required) {
        failWithMessage("Error in VE3Vazaru!", wrongVersionMessage(library.LibraryName(), required), 0);
    }

    library.SetOutput(FSOUND_OUTPUT_DSOUND);
    library.SetDriver(0);
    library.SetBufferSize(kMixBufferMs);
    if (!library.Init(kMixRate, kSoftwareChannels, 0)) failWithSoundError();

    library.Stream_SetBufferSize(kStreamBufferMs);
    library.File_SetCallbacks(openMusicFile, closeMusicFile, readMusicFile, seekMusicFile, tellMusicFile);
}

void closeSound()
{
    soundLibrary().Close();
}
