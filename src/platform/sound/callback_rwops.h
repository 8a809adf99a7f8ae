// An SDL_RWops that reads an already opened file through the caller's file callbacks, so
// the mixer decodes music from whatever the caller's open returned (a file held in memory).
#pragma once

#include "platform/sound/sound_file_callbacks.h"

#include <SDL_rwops.h>

// Takes over handle: closing the RWops closes it through callbacks.close, exactly once.
// Null (and handle closed) when the RWops cannot be allocated.
SDL_RWops* rwopsFromCallbacks(const SoundFileCallbacks& callbacks, void* handle);
