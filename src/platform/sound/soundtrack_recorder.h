// The sound library that capture installs: it plays nothing and instead keeps what would have
// sounded when, on the clock it is given (capture's virtual one), together with the bytes of
// every music file opened, read through the installed file callbacks as the real library
// reads them. Like the real library it sounds one music at a time: starting a channel ends
// the one that was sounding.
#pragma once

#include "platform/sound/sound_file_callbacks.h"
#include "platform/sound/sound_library.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct MusicFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

struct VolumeChange {
    double atMs;
    int volume;  // 0-255
};

// One stretch of one music file: from fileMs on, sounding from startMs until endMs.
struct MusicPlayback {
    std::size_t file = 0;  // index into SoundtrackRecorder::files()
    double startMs = 0;
    double fileMs = 0;
    double endMs = std::numeric_limits<double>::infinity();
    std::vector<VolumeChange> volumes;  // the first one at startMs
};

class SoundtrackRecorder final : public SoundLibrary {
public:
    // True when the bytes are music this program can decode; a stream open fails without.
    using MusicCheck = std::function<bool(std::span<const std::uint8_t>)>;

    SoundtrackRecorder(std::function<double()> clockMs, MusicCheck check);
    ~SoundtrackRecorder() override;
    SoundtrackRecorder(const SoundtrackRecorder&) = delete;
    SoundtrackRecorder& operator=(const SoundtrackRecorder&) = delete;

    const std::vector<MusicFile>& files() const { return files_; }
    // Every stretch so far, in the order they began; one still sounding has an infinite end.
    const std::vector<MusicPlayback>& playbacks() const { return playbacks_; }
    // Ends whatever still sounds at timeMs (the end of the capture).
    void finish(double timeMs);

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
    struct Channel {
        RecordedStream* stream = nullptr;  // null: free
        unsigned generation = 0;
        bool paused = true;
        int volume = 255;
        std::size_t playback = 0;  // index into playbacks_ while sounding
        bool sounding = false;
    };

    bool fail(int code);
    RecordedStream* findStream(SoundStream* stream) const;
    Channel* findChannel(int handle);
    int handleOf(std::size_t index) const;
    std::size_t fileFor(const std::string& name, std::vector<std::uint8_t> bytes);
    void startSounding(std::size_t index);
    void stopSounding(std::size_t index);
    void release(std::size_t index);

    std::function<double()> clockMs_;
    MusicCheck check_;
    SoundFileCallbacks callbacks_;
    std::vector<MusicFile> files_;
    std::vector<MusicPlayback> playbacks_;
    std::vector<std::unique_ptr<RecordedStream>> streams_;
    std::vector<Channel> channels_;
    bool initialised_ = false;
    int lastError_ = FMOD_ERR_NONE;
};
