// MemoryFile behind the sound library's file callbacks. The library may call these from its
// own threads; each handle belongs to one stream, so they need no locking.
#include "music/music_file_callbacks.h"

#include "archive/memory_file.h"

namespace {

MemoryFile* fileOf(void* handle)
{
    return static_cast<MemoryFile*>(handle);
}

} // namespace

void* openMusicFile(const char* name)
{
    return name ? MemoryFile::open(name) : nullptr;
}

void closeMusicFile(void* handle)
{
    MemoryFile::close(fileOf(handle));
}

int readMusicFile(void* buffer, int size, void* handle)
{
    if (size <= 0) return 0;  // a negative count would read as a huge unsigned one
    return static_cast<int>(MemoryFile::read(buffer, 1, static_cast<std::size_t>(size), fileOf(handle)));
}

int seekMusicFile(void* handle, int position, signed char mode)
{
    return MemoryFile::seek(fileOf(handle), position, mode);
}

int tellMusicFile(void* handle)
{
    return MemoryFile::tell(fileOf(handle));
}
