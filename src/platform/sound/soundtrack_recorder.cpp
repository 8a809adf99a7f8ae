// The soundtrack recorder: channel handles as the real library hands them out, stretches of
// music instead of sound.
#include "platform/sound/soundtrack_recorder.h"

#include "platform/sound/music_header_check.h"
#include "platform/sound/sound_version.h"

#include <SDL_rwops.h>

#include <algorithm>

namespace {

constexpr int kIndexBits = 12;
constexpr int kMaxChannels = 1 << kIndexBits;
constexpr unsigned kGenerationMask = 0x7FFFF;
// Music files beyond this are refused rather than held in memory.
constexpr std::size_t kMaxMusicBytes = std::size_t{512} << 20;

// The whole file through the callbacks; false when it cannot be read or is too large.
bool readAll(const SoundFileCallbacks& callbacks, void* handle, std::vector<std::uint8_t>& bytes)
{
    constexpr int kChunk = 1 << 16;
    for (;;) {
        if (bytes.size() + kChunk > kMaxMusicBytes) return false;
        const std::size_t before = bytes.size();
        bytes.resize(before + kChunk);
        const int count = callbacks.read(bytes.data() + before, kChunk, handle);
        if (count < 0 || count > kChunk) return false;
        bytes.resize(before + static_cast<std::size_t>(count));
        if (count == 0) return true;
    }
}

// The same header checks the real library makes before its decoders see a file.
bool headerIsSane(const std::vector<std::uint8_t>& bytes)
{
    SDL_RWops* view = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!view) return false;
    const bool sane = musicHeaderIsSane(view);
    SDL_RWclose(view);
    return sane;
}

} // namespace

class SoundtrackRecorder::RecordedStream final : public SoundStream {
public:
    explicit RecordedStream(std::size_t file) : file(file) {}
    const std::size_t file;
    double positionMs = 0;  // where the next play begins
};

SoundtrackRecorder::SoundtrackRecorder(std::function<double()> clockMs, MusicCheck check)
    : clockMs_(std::move(clockMs)), check_(std::move(check))
{
}

SoundtrackRecorder::~SoundtrackRecorder() = default;

bool SoundtrackRecorder::fail(int code)
{
    lastError_ = code;
    return false;
}

float SoundtrackRecorder::GetVersion()
{
    return builtMixerVersion();
}

float SoundtrackRecorder::RequiredVersion() const
{
    return builtMixerVersion();
}

std::string SoundtrackRecorder::LibraryName() const
{
    return "SDL2_mixer";
}

bool SoundtrackRecorder::SetOutput(int outputType)
{
    return initialised_ ? fail(FMOD_ERR_BUSY) : outputType >= 0 ? true : fail(FMOD_ERR_INVALID_PARAM);
}

bool SoundtrackRecorder::SetDriver(int driver)
{
    return initialised_ ? fail(FMOD_ERR_BUSY) : driver >= 0 ? true : fail(FMOD_ERR_INVALID_PARAM);
}

bool SoundtrackRecorder::SetBufferSize(int milliseconds)
{
    return initialised_ ? fail(FMOD_ERR_BUSY) : milliseconds > 0 ? true : fail(FMOD_ERR_INVALID_PARAM);
}

bool SoundtrackRecorder::Init(int mixRate, int maxSoftwareChannels, unsigned)
{
    if (initialised_) return fail(FMOD_ERR_BUSY);
    if (mixRate < 4000 || mixRate > 192000 || maxSoftwareChannels < 1 || maxSoftwareChannels > kMaxChannels) {
        return fail(FMOD_ERR_INVALID_PARAM);
    }
    channels_.assign(static_cast<std::size_t>(maxSoftwareChannels), Channel{});
    initialised_ = true;
    return true;
}

bool SoundtrackRecorder::Stream_SetBufferSize(int milliseconds)
{
    return milliseconds > 0 ? true : fail(FMOD_ERR_INVALID_PARAM);
}

bool SoundtrackRecorder::File_SetCallbacks(SoundOpenCallback open, SoundCloseCallback close, SoundReadCallback read,
                                           SoundSeekCallback seek, SoundTellCallback tell)
{
    callbacks_ = {open, close, read, seek, tell};
    return true;
}

std::size_t SoundtrackRecorder::fileFor(const std::string& name, std::vector<std::uint8_t> bytes)
{
    // A file opened again (a second slot, or after a free) is kept once.
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (files_[i].name == name && files_[i].bytes == bytes) return i;
    }
    files_.push_back({name, std::move(bytes)});
    return files_.size() - 1;
}

SoundStream* SoundtrackRecorder::Stream_OpenFile(const char* name, unsigned, int)
{
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), nullptr;
    if (!name) return fail(FMOD_ERR_INVALID_PARAM), nullptr;
    if (!callbacks_.complete()) return fail(FMOD_ERR_FILE_NOTFOUND), nullptr;
    void* handle = callbacks_.open(name);
    if (!handle) return fail(FMOD_ERR_FILE_NOTFOUND), nullptr;
    std::vector<std::uint8_t> bytes;
    const bool read = readAll(callbacks_, handle, bytes);
    callbacks_.close(handle);
    if (!read) return fail(FMOD_ERR_FILE_BAD), nullptr;
    if (!headerIsSane(bytes) || (check_ && !check_(bytes))) return fail(FMOD_ERR_FILE_FORMAT), nullptr;
    streams_.push_back(std::make_unique<RecordedStream>(fileFor(name, std::move(bytes))));
    return streams_.back().get();
}

SoundtrackRecorder::RecordedStream* SoundtrackRecorder::findStream(SoundStream* stream) const
{
    for (const auto& open : streams_) {
        if (open.get() == stream) return open.get();
    }
    return nullptr;
}

int SoundtrackRecorder::handleOf(std::size_t index) const
{
    const unsigned generation = channels_[index].generation & kGenerationMask;
    return static_cast<int>(generation << kIndexBits) | static_cast<int>(index);
}

SoundtrackRecorder::Channel* SoundtrackRecorder::findChannel(int handle)
{
    if (handle < 0) return nullptr;
    const std::size_t index = static_cast<std::size_t>(handle) & (kMaxChannels - 1);
    const unsigned generation = static_cast<unsigned>(handle) >> kIndexBits;
    if (index >= channels_.size()) return nullptr;
    Channel& channel = channels_[index];
    if (!channel.stream || (channel.generation & kGenerationMask) != generation) return nullptr;
    return &channel;
}

void SoundtrackRecorder::startSounding(std::size_t index)
{
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        if (i != index && channels_[i].sounding) release(i);
    }
    Channel& channel = channels_[index];
    const double now = clockMs_();
    MusicPlayback playback;
    playback.file = channel.stream->file;
    playback.startMs = now;
    playback.fileMs = channel.stream->positionMs;
    playback.volumes.push_back({now, channel.volume});
    playbacks_.push_back(std::move(playback));
    channel.playback = playbacks_.size() - 1;
    channel.sounding = true;
    channel.paused = false;
}

void SoundtrackRecorder::stopSounding(std::size_t index)
{
    Channel& channel = channels_[index];
    if (!channel.sounding) return;
    MusicPlayback& playback = playbacks_[channel.playback];
    playback.endMs = std::max(clockMs_(), playback.startMs);
    // Where it got to is where a later resume or play without a seek begins.
    channel.stream->positionMs = playback.fileMs + (playback.endMs - playback.startMs);
    channel.sounding = false;
}

void SoundtrackRecorder::release(std::size_t index)
{
    Channel& channel = channels_[index];
    if (!channel.stream) return;
    stopSounding(index);
    channel.stream = nullptr;
    channel.paused = true;
}

bool SoundtrackRecorder::Stream_SetTime(SoundStream* stream, int milliseconds)
{
    RecordedStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM);
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        if (channels_[i].stream != open || !channels_[i].sounding) continue;
        // A seek while sounding is a new stretch from the new position.
        stopSounding(i);
        open->positionMs = std::max(milliseconds, 0);
        startSounding(i);
        return true;
    }
    open->positionMs = std::max(milliseconds, 0);
    return true;
}

int SoundtrackRecorder::Stream_PlayEx(int channel, SoundStream* stream, void*, bool startPaused)
{
    if (!initialised_) return fail(FMOD_ERR_UNINITIALIZED), -1;
    RecordedStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM), -1;
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        if (channels_[i].stream == open) release(i);
    }
    std::size_t index = 0;
    if (channel == FSOUND_FREE) {
        const auto free = std::find_if(channels_.begin(), channels_.end(), [](const Channel& c) { return !c.stream; });
        if (free == channels_.end()) return fail(FMOD_ERR_CHANNEL_ALLOC), -1;
        index = static_cast<std::size_t>(free - channels_.begin());
    } else if (channel >= 0 && static_cast<std::size_t>(channel) < channels_.size()) {
        index = static_cast<std::size_t>(channel);
        release(index);
    } else {
        return fail(FMOD_ERR_INVALID_PARAM), -1;
    }
    Channel& chosen = channels_[index];
    chosen.stream = open;
    ++chosen.generation;
    chosen.paused = true;
    chosen.volume = 255;
    if (!startPaused) startSounding(index);
    return handleOf(index);
}

bool SoundtrackRecorder::SetPaused(int handle, bool paused)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    const auto index = static_cast<std::size_t>(channel - channels_.data());
    if (paused) {
        stopSounding(index);
        channel->paused = true;
    } else if (!channel->sounding) {
        startSounding(index);
    }
    return true;
}

bool SoundtrackRecorder::SetVolume(int handle, int volume)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    channel->volume = std::clamp(volume, 0, 255);
    if (channel->sounding) {
        auto& volumes = playbacks_[channel->playback].volumes;
        const double now = clockMs_();
        // Two changes at one instant: the later one is what sounds.
        if (volumes.back().atMs >= now) {
            volumes.back().volume = channel->volume;
        } else {
            volumes.push_back({now, channel->volume});
        }
    }
    return true;
}

bool SoundtrackRecorder::StopSound(int handle)
{
    Channel* channel = findChannel(handle);
    if (!channel) return fail(FMOD_ERR_INVALID_PARAM);
    release(static_cast<std::size_t>(channel - channels_.data()));
    return true;
}

bool SoundtrackRecorder::Stream_Close(SoundStream* stream)
{
    RecordedStream* open = findStream(stream);
    if (!open) return fail(FMOD_ERR_INVALID_PARAM);
    for (std::size_t i = 0; i < channels_.size(); ++i) {
        if (channels_[i].stream == open) release(i);
    }
    std::erase_if(streams_, [open](const std::unique_ptr<RecordedStream>& s) { return s.get() == open; });
    return true;
}

int SoundtrackRecorder::GetError()
{
    return lastError_;
}

void SoundtrackRecorder::Close()
{
    if (!initialised_) return;
    for (std::size_t i = 0; i < channels_.size(); ++i) release(i);
    streams_.clear();
    channels_.clear();
    initialised_ = false;
}

void SoundtrackRecorder::finish(double timeMs)
{
    for (Channel& channel : channels_) {
        if (!channel.sounding) continue;
        MusicPlayback& playback = playbacks_[channel.playback];
        playback.endMs = std::max(timeMs, playback.startMs);
        channel.sounding = false;
    }
}
