// The recording sound library: a call log and just enough state to answer like the real one.
#include "platform/sound/recording_sound_library.h"

#include "platform/sound/sound_version.h"

#include <algorithm>
#include <cstdio>

class RecordingSoundLibrary::RecordedStream final : public SoundStream {
public:
    RecordedStream(std::string name, const SoundFileCallbacks& callbacks, void* file)
        : name(std::move(name)), callbacks_(callbacks), file_(file) {}
    ~RecordedStream() override
    {
        if (file_) callbacks_.close(file_);
    }
    RecordedStream(const RecordedStream&) = delete;
    RecordedStream& operator=(const RecordedStream&) = delete;

    const std::string name;

private:
    SoundFileCallbacks callbacks_;
    void* file_;
};

RecordingSoundLibrary::RecordingSoundLibrary() : version(builtMixerVersion()), requiredVersion(builtMixerVersion()) {}

RecordingSoundLibrary::~RecordingSoundLibrary() = default;

bool RecordingSoundLibrary::fail(int code)
{
    lastError_ = code;
    return false;
}

std::string RecordingSoundLibrary::nameOf(SoundStream* stream) const
{
    for (const auto& open : streams_) {
        if (open.get() == stream) return open->name;
    }
    return stream ? "unknown-stream" : "null-stream";
}

float RecordingSoundLibrary::GetVersion()
{
    record("GetVersion");
    return version;
}

float RecordingSoundLibrary::RequiredVersion() const
{
    return requiredVersion;
}

std::string RecordingSoundLibrary::LibraryName() const
{
    return name;
}

bool RecordingSoundLibrary::SetOutput(int outputType)
{
    record("SetOutput " + std::to_string(outputType));
    return initialised_ ? fail(FMOD_ERR_BUSY) : true;
}

bool RecordingSoundLibrary::SetDriver(int driver)
{
    record("SetDriver " + std::to_string(driver));
    return initialised_ ? fail(FMOD_ERR_BUSY) : true;
}

bool RecordingSoundLibrary::SetBufferSize(int milliseconds)
{
    record("SetBufferSize " + std::to_string(milliseconds));
    return initialised_ ? fail(FMOD_ERR_BUSY) : true;
}

bool RecordingSoundLibrary::Init(int mixRate, int maxSoftwareChannels, unsigned flags)
{
    record("Init " + std::to_string(mixRate) + " " + std::to_string(maxSoftwareChannels) + " " + std::to_string(flags));
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (initFailureCode != 0) return fail(initFailureCode);
    initialised_ = true;
    return true;
}

bool RecordingSoundLibrary::Stream_SetBufferSize(int milliseconds)
{
    record("Stream_SetBufferSize " + std::to_string(milliseconds));
    return true;
}

bool RecordingSoundLibrary::File_SetCallbacks(SoundOpenCallback open, SoundCloseCallback close, SoundReadCallback read,
                                              SoundSeekCallback seek, SoundTellCallback tell)
{
    record("File_SetCallbacks");
    callbacks_ = {open, close, read, seek, tell};
    return true;
}

SoundStream* RecordingSoundLibrary::Stream_OpenFile(const char* fileName, unsigned mode, int length)
{
    char modeText[16];
    std::snprintf(modeText, sizeof modeText, "0x%X", mode);
    record("Stream_OpenFile " + std::string(fileName ? fileName : "(null)") + " " + modeText + " " +
           std::to_string(length));
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), nullptr;
    if (!fileName) return fail(FMOD_ERR_INVALID_PARAM), nullptr;
    if (openFailureCode != 0) return fail(openFailureCode), nullptr;
    void* file = nullptr;
    if (callbacks_.complete()) {
        file = callbacks_.open(fileName);
        if (!file) return fail(FMOD_ERR_FILE_NOTFOUND), nullptr;
    }
    streams_.push_back(std::make_unique<RecordedStream>("stream" + std::to_string(nextStream_++), callbacks_, file));
    return streams_.back().get();
}

bool RecordingSoundLibrary::Stream_SetTime(SoundStream* stream, int milliseconds)
{
    record("Stream_SetTime " + nameOf(stream) + " " + std::to_string(milliseconds));
    return true;
}

int RecordingSoundLibrary::Stream_PlayEx(int channel, SoundStream* stream, void* dsp, bool startPaused)
{
    record("Stream_PlayEx " + std::to_string(channel) + " " + nameOf(stream) + (dsp ? " dsp" : "") +
           (startPaused ? " paused" : " playing"));
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), -1;
    return nextChannel_++;
}

bool RecordingSoundLibrary::SetPaused(int channel, bool paused)
{
    record("SetPaused " + std::to_string(channel) + " " + std::to_string(paused ? 1 : 0));
    return true;
}

bool RecordingSoundLibrary::SetVolume(int channel, int volume)
{
    record("SetVolume " + std::to_string(channel) + " " + std::to_string(volume));
    return true;
}

bool RecordingSoundLibrary::StopSound(int channel)
{
    record("StopSound " + std::to_string(channel));
    return true;
}

bool RecordingSoundLibrary::Stream_Close(SoundStream* stream)
{
    record("Stream_Close " + nameOf(stream));
    const auto found = std::find_if(streams_.begin(), streams_.end(), [stream](const auto& s) { return s.get() == stream; });
    if (found == streams_.end()) return fail(FMOD_ERR_INVALID_PARAM);
    streams_.erase(found);
    return true;
}

int RecordingSoundLibrary::GetError()
{
    record("GetError");
    return lastError_;
}

void RecordingSoundLibrary::Close()
{
    record("Close");
    streams_.clear();
    initialised_ = false;
}
