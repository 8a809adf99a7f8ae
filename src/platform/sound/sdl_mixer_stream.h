// One opened music of the SDL2_mixer sound library: the mixer's music over the caller's file,
// with where the next play begins.
#pragma once

#include "platform/sound/mixer_volume.h"
#include "platform/sound/sdl_mixer_sound_library.h"
#include "platform/sound/skipping_rwops.h"
#include "platform/sound/wav_layout.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <optional>

class SdlMixerSoundLibrary::MixerStream final : public SoundStream {
public:
    MixerStream(Mix_Music* music, SDL_RWops* source) : music(music), source(source)
    {
        // SDL_mixer 2.6 seeks WAV data to whole seconds only; these start at the exact frame
        // by hiding the frames before it instead.
        if (Mix_GetMusicType(music) == MUS_WAV) wav = readWavLayout(source);
    }
    ~MixerStream() override
    {
        Mix_FreeMusic(music);  // halts it first if it is sounding
        SDL_RWclose(source);
    }
    MixerStream(const MixerStream&) = delete;
    MixerStream& operator=(const MixerStream&) = delete;

    // Hands the music to the mixer from positionMs on; the music must not be sounding.
    bool play(int volume)
    {
        Mix_VolumeMusic(mixerVolume(volume));
        double seconds = positionMs / 1000.0;
        startedAtMs = 0;
        if (wav) {
            setSkip(source, wav->dataStart, wav->dataEnd, wav->byteOffsetAt(positionMs) - wav->dataStart);
            startedAtMs = positionMs;
            seconds = 0.0;
        }
        // The seek happens inside the mixer's lock, before the music becomes audible.
        if (Mix_FadeInMusicPos(music, 1, 0, seconds) == 0) return true;
        // A format that cannot seek still plays, from its beginning.
        return seconds > 0.0 && Mix_FadeInMusicPos(music, 1, 0, 0.0) == 0;
    }

    // Halts the sounding music, keeping where it got to for a later play.
    void halt()
    {
        const double seconds = Mix_GetMusicPosition(music);
        if (seconds >= 0.0) positionMs = startedAtMs + static_cast<int>(seconds * 1000.0 + 0.5);
        Mix_HaltMusic();
    }

    Mix_Music* const music;
    SDL_RWops* const source;
    std::optional<WavLayout> wav;
    int positionMs = 0;   // where the next play begins
    int startedAtMs = 0;  // what the mixer's position counts from
};
