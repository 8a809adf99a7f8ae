// A look at a music file's header before the mixer's decoders see it. Those decoders divide
// by the channel count and the block size and trust the rate, so a RIFF/WAVE or AIFF header
// with a zero or absurd value must never reach them. Other kinds of file pass untouched.
#pragma once

#include <SDL_rwops.h>

// False for a WAVE or AIFF file whose format cannot be played soundly (channels, rate, bits
// and block alignment checked against each other, chunk sizes against the file); true for
// a sane one and for every other kind of file. The read position is put back.
bool musicHeaderIsSane(SDL_RWops* file);
