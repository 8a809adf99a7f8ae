// The sound library on SDL2_mixer: each stream a Mix_Music read through the caller's file
// callbacks, started at a millisecond position (WAV at the exact frame, though the mixer's own
// WAV seek rounds to whole seconds; a tracker module at the row libmodplug picks). The mixer
// sounds one music at a time: starting a channel ends, and frees, the one that was sounding.
#pragma once

#include "platform/sound/sound_file_callbacks.h"
#include "platform/sound/sound_library.h"

#include <memory>
#include <vector>

class SdlMixerSoundLibrary final : public SoundLibrary {
public:
    SdlMixerSoundLibrary();
    ~SdlMixerSoundLibrary() override;
    SdlMixerSoundLibrary(const SdlMixerSoundLibrary&) = delete;
    SdlMixerSoundLibrary& operator=(const SdlMixerSoundLibrary&) = delete;

    float GetVersion() override;
    float RequiredVersion() const override;
    std::string LibraryName() const override;

    bool SetOutput(int outputType) override;
    bool SetDriver(int driver) override;
    bool SetBufferSize(int milliseconds) override;
    bool Init(int mixRate, int maxSoftwareChannels, unsigned flags) override;
    bool Stream_SetBufferSize(int milliseconds) override;
    bool File_SetCallbacks(SoundOpenCallback open, SoundCloseCallback close, SoundReadCallback read,
                           SoundSeekCallback seek, SoundTellCallback tell) override;

    SoundStream* Stream_OpenFile(const char* name, unsigned mode, int length) override;
    bool Stream_SetTime(SoundStream* stream, int milliseconds) override;
    int Stream_PlayEx(int channel, SoundStream* stream, void* dsp, bool startPaused) override;
    bool SetPaused(int channel, bool paused) override;
    bool SetVolume(int channel, int volume) override;
    bool StopSound(int channel) override;
    bool Stream_Close(SoundStream* stream) override;

    int GetError() override;
    void Close() override;

private:
    class MixerStream;
    struct Channel {
        MixerStream* stream = nullptr;  // null: the channel is free
        unsigned generation = 0;        // tells an old handle of this channel from the current one
        bool started = false;           // handed to the mixer (a channel created paused is not yet)
        bool paused = true;
        int volume = 255;
    };

    bool fail(int code);
    MixerStream* findStream(SoundStream* stream) const;
    Channel* findChannel(int handle);
    int handleOf(int index) const;
    bool start(int index);
    void release(int index);
    void reclaimFinishedMusic();

    bool initialised_ = false;
    int output_ = FSOUND_OUTPUT_DSOUND;
    int driver_ = 0;
    int bufferMs_ = 200;
    int streamBufferMs_ = 2000;
    SoundFileCallbacks callbacks_;
    std::vector<std::unique_ptr<MixerStream>> streams_;
    std::vector<Channel> channels_;
    int sounding_ = -1;  // index of the channel the mixer is playing, or -1
    int lastError_ = FMOD_ERR_NONE;
};
