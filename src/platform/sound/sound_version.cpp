// Version numbers of the SDL_mixer build and the SDL_mixer actually loaded.
#include "platform/sound/sound_version.h"

#include <SDL_mixer.h>

#include <algorithm>

float soundVersionNumber(int major, int minor)
{
    // Two decimal places hold the minor number; a larger one would read as the next major.
    const int clampedMinor = std::clamp(minor, 0, 99);
    return static_cast<float>(major) + static_cast<float>(clampedMinor) / 100.0f;
}

float builtMixerVersion()
{
    return soundVersionNumber(SDL_MIXER_MAJOR_VERSION, SDL_MIXER_MINOR_VERSION);
}

float linkedMixerVersion()
{
    const SDL_version* linked = Mix_Linked_Version();
    return soundVersionNumber(linked->major, linked->minor);
}
