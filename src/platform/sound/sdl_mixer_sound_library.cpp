// The sound library on SDL2_mixer: device start-up, streams read through the caller's file
// callbacks, channels as handles of our own over the one music the mixer plays.
#include "platform/sound/sdl_mixer_sound_library.h"
#include "platform/sound/sdl_mixer_stream.h"

#include "platform/sound/callback_rwops.h"
#include "platform/sound/music_header_check.h"
#include "platform/sound/sound_version.h"
#include "platform/sound/wav_layout.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A channel handle carries the channel index in its low bits and the channel's generation
// above them, so a handle kept after its channel was reused no longer reaches it.
constexpr int kIndexBits = 12;
constexpr int kMaxChannels = 1 << kIndexBits;
constexpr unsigned kGenerationMask = 0x7FFFF;

constexpr int kLastOutputType = 12;

// The mixer's buffer in sample frames: the requested milliseconds, down to a power of two.
int bufferFrames(int milliseconds, int mixRate)
{
    const long wanted = static_cast<long>(milliseconds) * mixRate / 1000;
    int frames = 256;
    while (frames * 2 <= wanted && frames < 16384) frames *= 2;
    return frames;
}

// A file on the disk, when it is a regular one: the open never blocks on a pipe or device.
SDL_RWops* regularFileRwops(const char* name)
{
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat status {};
    std::FILE* file = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) ? fdopen(fd, "rb") : nullptr;
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* source = SDL_RWFromFP(file, SDL_TRUE);
    if (!source) std::fclose(file);
    return source;
}

} // namespace

SdlMixerSoundLibrary::SdlMixerSoundLibrary() = default;

SdlMixerSoundLibrary::~SdlMixerSoundLibrary()
{
    Close();
}

float SdlMixerSoundLibrary::GetVersion()
{
    return linkedMixerVersion();
}

float SdlMixerSoundLibrary::RequiredVersion() const
{
    return builtMixerVersion();
}

std::string SdlMixerSoundLibrary::LibraryName() const
{
    return "SDL2_mixer";
}

bool SdlMixerSoundLibrary::fail(int code)
{
    lastError_ = code;
    return false;
}

bool SdlMixerSoundLibrary::SetOutput(int outputType)
{
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (outputType < FSOUND_OUTPUT_NOSOUND || outputType > kLastOutputType) return fail(FMOD_ERR_INVALID_PARAM);
    // Every output but "no sound" is the system's default one, as SDL picks it.
    output_ = outputType;
    return true;
}

bool SdlMixerSoundLibrary::SetDriver(int driver)
{
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (driver < 0) return fail(FMOD_ERR_INVALID_PARAM);
    // 0 is the default device; n is SDL's playback device n - 1 (checked when Init opens it).
    driver_ = driver;
    return true;
}

bool SdlMixerSoundLibrary::SetBufferSize(int milliseconds)
{
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (milliseconds <= 0) return fail(FMOD_ERR_INVALID_PARAM);
    bufferMs_ = milliseconds;
    return true;
}

bool SdlMixerSoundLibrary::Init(int mixRate, int maxSoftwareChannels, unsigned flags)
{
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (mixRate < 4000 || mixRate > 192000 || maxSoftwareChannels < 1 || maxSoftwareChannels > kMaxChannels) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    if (output_ == FSOUND_OUTPUT_NOSOUND) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (output_ == FSOUND_OUTPUT_NOSOUND) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        return fail(FMOD_ERR_INIT);
    }
    const char* device = nullptr;
    if (driver_ > 0) device = SDL_GetAudioDeviceName(driver_ - 1, 0);
    Mix_Init(MIX_INIT_FLAC | MIX_INIT_MOD | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_OPUS);
    // No format changes allowed: SDL converts to the device, and the mix stays 16-bit stereo.
    const bool opened = (driver_ == 0 || device) &&
        Mix_OpenAudioDevice(mixRate, AUDIO_S16SYS, 2, bufferFrames(bufferMs_, mixRate), device, 0) == 0;
    if (!opened) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        if (output_ == FSOUND_OUTPUT_NOSOUND) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
        return fail(FMOD_ERR_INIT);
    }
    channels_.assign(static_cast<size_t>(maxSoftwareChannels), Channel{});
    sounding_ = -1;
    initialised_ = true;
    return true;
}

bool SdlMixerSoundLibrary::Stream_SetBufferSize(int milliseconds)
{
    // The mixer decodes on demand in its own buffer; the size is kept for completeness.
    if (milliseconds <= 0) return fail(FMOD_ERR_INVALID_PARAM);
    streamBufferMs_ = milliseconds;
    return true;
}

bool SdlMixerSoundLibrary::File_SetCallbacks(SoundOpenCallback open, SoundCloseCallback close, SoundReadCallback read,
                                             SoundSeekCallback seek, SoundTellCallback tell)
{
    callbacks_ = {open, close, read, seek, tell};
    return true;
}

SoundStream* SdlMixerSoundLibrary::Stream_OpenFile(const char* name, unsigned mode, int length)
{
    // The mode's sample-format bits describe raw data, which the mixer never streams; its
    // seeking is accurate anyway.
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), nullptr;
    if (!name) return fail(FMOD_ERR_INVALID_PARAM), nullptr;

    SDL_RWops* source = nullptr;
    if (callbacks_.complete()) {
        void* handle = callbacks_.open(name);
        if (!handle) return fail(FMOD_ERR_FILE_NOTFOUND), nullptr;
        source = rwopsFromCallbacks(callbacks_, handle);
        if (!source) return fail(FMOD_ERR_MEMORY), nullptr;
    } else {
        source = regularFileRwops(name);
        if (!source) return fail(FMOD_ERR_FILE_NOTFOUND), nullptr;
    }
    source = skippingRwops(source);
    if (!source) return fail(FMOD_ERR_MEMORY), nullptr;
    if (!musicHeaderIsSane(source)) {
        SDL_RWclose(source);
        return fail(FMOD_ERR_FILE_FORMAT), nullptr;
    }
    Mix_Music* music = Mix_LoadMUS_RW(source, SDL_FALSE);
    if (!music) {
        SDL_RWclose(source);
        return fail(FMOD_ERR_FILE_FORMAT), nullptr;
    }
    streams_.push_back(std::make_unique<MixerStream>(music, source));
    return streams_.back().get();
}

SdlMixerSoundLibrary::MixerStream* SdlMixerSoundLibrary::findStream(SoundStream* stream) const
{
    for (const auto& open : streams_) {
        if (open.get() == stream) return open.get();
    }
    return nullptr;
}

bool SdlMixerSoundLibrary::Stream_SetTime(SoundStream* stream, int milliseconds)
{
    MixerStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM);
    open->positionMs = std::max(milliseconds, 0);
    if (sounding_ < 0 || channels_[static_cast<size_t>(sounding_)].stream != open) return true;

    if (!open->wav) {
        if (Mix_SetMusicPosition(open->positionMs / 1000.0) != 0) return fail(FMOD_ERR_FILE_BAD);
        return true;
    }
    // Sounding WAV data moves by starting over at the new frame.
    const bool paused = channels_[static_cast<size_t>(sounding_)].paused;
    Mix_HaltMusic();
    if (!start(sounding_)) return false;
    if (paused) SetPaused(handleOf(sounding_), true);
    return true;
}

void SdlMixerSoundLibrary::reclaimFinishedMusic()
{
    if (sounding_ < 0 || Mix_PlayingMusic()) return;
    // The music ran to its end: its channel is free, and the stream starts over next time.
    Channel& channel = channels_[static_cast<size_t>(sounding_)];
    channel.stream->positionMs = 0;
    channel.stream = nullptr;
    channel.started = false;
    sounding_ = -1;
}

int SdlMixerSoundLibrary::handleOf(int index) const
{
    const unsigned generation = channels_[static_cast<size_t>(index)].generation & kGenerationMask;
    return static_cast<int>(generation << kIndexBits) | index;
}

SdlMixerSoundLibrary::Channel* SdlMixerSoundLibrary::findChannel(int handle)
{
    if (handle < 0) return nullptr;
    reclaimFinishedMusic();
    const size_t index = static_cast<size_t>(handle) & (kMaxChannels - 1);
    const unsigned generation = static_cast<unsigned>(handle) >> kIndexBits;
    if (index >= channels_.size()) return nullptr;
    Channel& channel = channels_[index];
    if (!channel.stream || (channel.generation & kGenerationMask) != generation) return nullptr;
    return &channel;
}

void SdlMixerSoundLibrary::release(int index)
{
    Channel& channel = channels_[static_cast<size_t>(index)];
    if (!channel.stream) return;
    if (sounding_ == index) {
        channel.stream->halt();
        sounding_ = -1;
    }
    channel.stream = nullptr;
    channel.started = false;
    channel.paused = true;
}

bool SdlMixerSoundLibrary::start(int index)
{
    if (sounding_ >= 0 && sounding_ != index) release(sounding_);
    Channel& channel = channels_[static_cast<size_t>(index)];
    if (!channel.stream->play(channel.volume)) {
        sounding_ = -1;
        channel.stream = nullptr;
        channel.started = false;
        channel.paused = true;
        return fail(FMOD_ERR_PLAY);
    }
    channel.started = true;
    channel.paused = false;
    sounding_ = index;
    return true;
}

int SdlMixerSoundLibrary::Stream_PlayEx(int channel, SoundStream* stream, void* dsp, bool startPaused)
{
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), -1;
    MixerStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM), -1;
    reclaimFinishedMusic();

    // A stream plays on one channel at a time.
    for (size_t i = 0; i < channels_.size(); ++i) {
        if (channels_[i].stream == open) release(static_cast<int>(i));
    }
    int index = -1;
    if (channel == FSOUND_FREE) {
        const auto free = std::find_if(channels_.begin(), channels_.end(), [](const Channel& c) { return !c.stream; });
        if (free == channels_.end()) return fail(FMOD_ERR_CHANNEL_ALLOC), -1;
        index = static_cast<int>(free - channels_.begin());
    } else if (channel >= 0 && static_cast<size_t>(channel) < channels_.size()) {
        index = channel;
        release(index);
    } else {
        return fail(FMOD_ERR_INVALID_PARAM), -1;
    }

    Channel& chosen = channels_[static_cast<size_t>(index)];
    chosen.stream = open;
    ++chosen.generation;
    chosen.started = false;
    chosen.paused = true;
    chosen.volume = 255;
    if (!startPaused && !start(index)) return -1;
    return handleOf(index);
}

bool SdlMixerSoundLibrary::SetPaused(int handle, bool paused)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    const int index = static_cast<int>(channel - channels_.data());
    if (!channel->started) return paused ? true : start(index);
    if (paused) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
    channel->paused = paused;
    return true;
}

bool SdlMixerSoundLibrary::SetVolume(int handle, int volume)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    channel->volume = std::clamp(volume, 0, 255);
    if (channel->started) Mix_VolumeMusic(mixerVolume(channel->volume));
    return true;
}

bool SdlMixerSoundLibrary::StopSound(int handle)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    release(static_cast<int>(channel - channels_.data()));
    return true;
}

bool SdlMixerSoundLibrary::Stream_Close(SoundStream* stream)
{
    MixerStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM);
    for (size_t i = 0; i < channels_.size(); ++i) {
        if (channels_[i].stream == open) release(static_cast<int>(i));
    }
    std::erase_if(streams_, [open](const std::unique_ptr<MixerStream>& s) { return s.get() == open; });
    return true;
}

int SdlMixerSoundLibrary::GetError()
{
    return lastError_;
}

void SdlMixerSoundLibrary::Close()
{
    if (!initialised_) return;
    for (size_t i = 0; i < channels_.size(); ++i) release(static_cast<int>(i));
    streams_.clear();
    channels_.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    if (output_ == FSOUND_OUTPUT_NOSOUND) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    initialised_ = false;
}
