// The streamed-music library stand-in: the FSOUND-shaped operations the music player calls
// (start-up settings, file callbacks, streams, seek, play paused on a free channel, volume,
// stop, last error), behind one replaceable interface. Real one: SDL2_mixer.
#pragma once

#include <string>

// Output types for SetOutput.
constexpr int FSOUND_OUTPUT_NOSOUND = 0;
constexpr int FSOUND_OUTPUT_DSOUND = 2;

// Stream mode bits for Stream_OpenFile.
constexpr unsigned FSOUND_16BITS = 0x10;
constexpr unsigned FSOUND_MONO = 0x20;
constexpr unsigned FSOUND_SIGNED = 0x100;
constexpr unsigned FSOUND_MPEGACCURATE = 0x20000;

// Stream_PlayEx's channel argument: take any free channel.
constexpr int FSOUND_FREE = -1;

// Last-error codes (GetError).
enum SoundError : int {
    FMOD_ERR_NONE = 0,
    FMOD_ERR_BUSY = 1,
    FMOD_ERR_UNINITIALIZED = 2,
    FMOD_ERR_INIT = 3,
    FMOD_ERR_ALLOCATED = 4,
    FMOD_ERR_PLAY = 5,
    FMOD_ERR_OUTPUT_FORMAT = 6,
    FMOD_ERR_COOPERATIVELEVEL = 7,
    FMOD_ERR_CREATEBUFFER = 8,
    FMOD_ERR_FILE_NOTFOUND = 9,
    FMOD_ERR_FILE_FORMAT = 10,
    FMOD_ERR_FILE_BAD = 11,
    FMOD_ERR_MEMORY = 12,
    FMOD_ERR_VERSION = 13,
    FMOD_ERR_INVALID_PARAM = 14,
    FMOD_ERR_NO_EAX = 15,
    FMOD_ERR_CHANNEL_ALLOC = 16,
    FMOD_ERR_RECORD = 17,
    FMOD_ERR_MEDIAPLAYER = 18,
};

// The caller's file access. The library reads music files only through these once they are
// installed; they may be called from the library's own threads.
using SoundOpenCallback = void* (*)(const char* name);               // null: cannot open
using SoundCloseCallback = void (*)(void* handle);
using SoundReadCallback = int (*)(void* buffer, int size, void* handle);  // bytes read
using SoundSeekCallback = int (*)(void* handle, int position, signed char mode);  // 0 set, 1 cur, 2 end
using SoundTellCallback = int (*)(void* handle);

// An open stream; each library hands out its own kind.
class SoundStream {
public:
    virtual ~SoundStream() = default;

protected:
    SoundStream() = default;
};

class SoundLibrary {
public:
    virtual ~SoundLibrary() = default;

    // The library's version as a float (major + minor / 100).
    virtual float GetVersion() = 0;
    // The oldest version this program accepts: the one it was built against.
    virtual float RequiredVersion() const = 0;
    // The library's name as the user would know it.
    virtual std::string LibraryName() const = 0;

    // Set-up before Init; after Init they fail with FMOD_ERR_BUSY.
    virtual bool SetOutput(int outputType) = 0;
    virtual bool SetDriver(int driver) = 0;
    virtual bool SetBufferSize(int milliseconds) = 0;

    virtual bool Init(int mixRate, int maxSoftwareChannels, unsigned flags) = 0;
    virtual bool Stream_SetBufferSize(int milliseconds) = 0;
    virtual bool File_SetCallbacks(SoundOpenCallback open, SoundCloseCallback close, SoundReadCallback read,
                                   SoundSeekCallback seek, SoundTellCallback tell) = 0;

    // Null on failure (GetError says why).
    virtual SoundStream* Stream_OpenFile(const char* name, unsigned mode, int length) = 0;
    virtual bool Stream_SetTime(SoundStream* stream, int milliseconds) = 0;
    // Returns the channel handle, or -1 on failure.
    virtual int Stream_PlayEx(int channel, SoundStream* stream, void* dsp, bool startPaused) = 0;
    virtual bool SetPaused(int channel, bool paused) = 0;
    // Volume 0 (silent) to 255 (full).
    virtual bool SetVolume(int channel, int volume) = 0;
    virtual bool StopSound(int channel) = 0;
    // Ends the stream's playback, releases it and closes its file.
    virtual bool Stream_Close(SoundStream* stream) = 0;

    virtual int GetError() = 0;
    // Shuts the library down; every stream still open is released with it.
    virtual void Close() = 0;
};

// The process-wide sound library: the SDL2_mixer one unless a test installed another.
SoundLibrary& soundLibrary();
// Installs a library (not owned); null restores the real one.
void setSoundLibrary(SoundLibrary* replacement);
