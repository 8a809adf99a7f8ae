// The one allocator behind every picture decoder (stb_image's hooks, libspng's allocator and
// the decoded pixels): plain malloc, refusing any single block above kMaxDecodedBytes so a
// size the decoders computed from a file can never reach the system allocator unchecked.
#pragma once

#include <cstddef>

void* pictureAllocate(std::size_t size);
void* pictureAllocateZeroed(std::size_t count, std::size_t size);
void* pictureReallocate(void* block, std::size_t size);
void pictureRelease(void* block);
