// One opened music file behind a script music slot: played from a start position on a
// channel of the sound library, its volume set while it plays, stopped and played again.
// Also brings in the sound library's start-up and error texts.
#pragma once

#include "music/sound_error_text.h"
#include "music/sound_startup.h"

#include <string>

class SoundStream;

class MusicStream {
public:
    // Opens the stream; a file that cannot be opened or decoded ends the process.
    explicit MusicStream(const std::string& fileName);
    // Closes the stream, which ends its playback.
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Starts at startMs; while already playing it does nothing, the position included.
    void play(int startMs);
    // Only while playing; the stream stays open for a later play.
    void stop();
    // 0-255, only while playing; not remembered for a later play.
    void setVolume(int volume);

    bool playing() const { return playing_; }
    const std::string& fileName() const { return fileName_; }

private:
    std::string fileName_;
    bool playing_ = false;
    SoundStream* stream_ = nullptr;
    int channel_ = 0;  // meaningful only while playing
};
