// MusicStream over the process-wide sound library.
#include "music/music_stream.h"

#include "music/sound_failure.h"
#include "platform/sound/sound_library.h"

namespace {

// 16-bit signed mono for raw data, with accurate MPEG seeking.
constexpr unsigned kStreamMode = FSOUND_16BITS | FSOUND_SIGNED | FSOUND_MONO | FSOUND_MPEGACCURATE;

} // namespace

MusicStream::MusicStream(const std::string& fileName) : fileName_(fileName)
{
    stream_ = soundLibrary().Stream_OpenFile(fileName_.c_str(), kStreamMode, 0);
    if (!stream_) failWithSoundError();
}

MusicStream::~MusicStream()
{
    soundLibrary().Stream_Close(stream_);
}

void MusicStream::play(int startMs)
{
    if (playing_) return;
    SoundLibrary& library = soundLibrary();
    library.Stream_SetTime(stream_, startMs);
    // Started paused, then released: the channel is fully set up before anything is heard.
    channel_ = library.Stream_PlayEx(FSOUND_FREE, stream_, nullptr, true);
    library.SetPaused(channel_, false);
    playing_ = true;
}

void MusicStream::stop()
{
    if (!playing_) return;
    soundLibrary().StopSound(channel_);
    playing_ = false;
}

void MusicStream::setVolume(int volume)
{
    if (!playing_) return;
    soundLibrary().SetVolume(channel_, volume);
}
