// An SDL_RWops over another one that can hide the first bytes of a file's sample data: reads
// of the data region [dataStart, dataEnd) come from `skip` bytes further on and end at
// dataEnd. A decoder that reads its data from the beginning then starts at any sample,
// however its own seek would round the position.
#pragma once

#include <SDL_rwops.h>

#include <cstdint>

// Takes over inner: closing the result closes inner. Nothing is skipped until setSkip.
// Null (and inner closed) when the RWops cannot be allocated.
SDL_RWops* skippingRwops(SDL_RWops* inner);

// Only while nobody reads the RWops (the music is halted). The reader's position stays.
void setSkip(SDL_RWops* rwops, std::int64_t dataStart, std::int64_t dataEnd, std::int64_t skip);
