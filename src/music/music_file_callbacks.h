// The sound library's file callbacks, each a direct mapping onto MemoryFile, so music comes
// from the disk first and then the archive, and is held whole in memory while it streams.
#pragma once

void* openMusicFile(const char* name);
void closeMusicFile(void* handle);
int readMusicFile(void* buffer, int size, void* handle);
int seekMusicFile(void* handle, int position, signed char mode);
int tellMusicFile(void* handle);
