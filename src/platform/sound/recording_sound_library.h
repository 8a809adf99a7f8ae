// Test double of the sound library: records every call with its arguments as one text line,
// plays nothing, and can be told its version and to fail Init or stream opens. When file
// callbacks are installed, a stream open goes through them like the real library's.
#pragma once

#include "platform/sound/sound_file_callbacks.h"
#include "platform/sound/sound_library.h"

#include <memory>
#include <string>
#include <vector>

class RecordingSoundLibrary : public SoundLibrary {
public:
    RecordingSoundLibrary();
    ~RecordingSoundLibrary() override;

    // What it reports; both default to the SDL_mixer version the program was built against.
    float version;
    float requiredVersion;
    std::string name = "SDL2_mixer";
    // Non-zero: Init fails and GetError reports this code.
    int initFailureCode = 0;
    // Non-zero: every Stream_OpenFile fails with this code before touching the file.
    int openFailureCode = 0;

    // One line per call, e.g. "Init 44100 32 0", "Stream_PlayEx -1 stream1 paused".
    const std::vector<std::string>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    const SoundFileCallbacks& fileCallbacks() const { return callbacks_; }
    bool initialised() const { return initialised_; }
    int openStreamCount() const { return static_cast<int>(streams_.size()); }

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
    class RecordedStream;
    void record(std::string line) { calls_.push_back(std::move(line)); }
    std::string nameOf(SoundStream* stream) const;
    bool fail(int code);

    std::vector<std::string> calls_;
    SoundFileCallbacks callbacks_;
    std::vector<std::unique_ptr<RecordedStream>> streams_;
    bool initialised_ = false;
    int nextStream_ = 1;
    int nextChannel_ = 1;
    int lastError_ = FMOD_ERR_NONE;
};
