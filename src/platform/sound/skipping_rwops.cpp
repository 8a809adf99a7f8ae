// The skipping RWops: positions in the data region map onto positions `skip` bytes later.
#include "platform/sound/skipping_rwops.h"

#include <algorithm>
#include <cstdint>

namespace {

struct Skipping {
    SDL_RWops* inner;
    std::int64_t dataStart = 0;
    std::int64_t dataEnd = 0;
    std::int64_t skip = 0;
    std::int64_t position = 0;  // as the reader sees it
};

Skipping* stateOf(SDL_RWops* context)
{
    return static_cast<Skipping*>(context->hidden.unknown.data1);
}

// Where a position the reader sees lies in the inner file.
std::int64_t innerPosition(const Skipping& s, std::int64_t position)
{
    return s.skip > 0 && position >= s.dataStart ? position + s.skip : position;
}

Sint64 SDLCALL sizeOfSkipping(SDL_RWops* context)
{
    Skipping* s = stateOf(context);
    const Sint64 size = SDL_RWsize(s->inner);
    return size < 0 ? size : size - s->skip;
}

Sint64 SDLCALL seekSkipping(SDL_RWops* context, Sint64 offset, int whence)
{
    Skipping* s = stateOf(context);
    Sint64 target = offset;
    if (whence == RW_SEEK_CUR) {
        target += s->position;
    } else if (whence == RW_SEEK_END) {
        const Sint64 size = sizeOfSkipping(context);
        if (size < 0) return -1;
        target += size;
    } else if (whence != RW_SEEK_SET) {
        return SDL_SetError("bad seek origin");
    }
    if (target < 0) return SDL_SetError("seek before the start");
    const Sint64 inner = SDL_RWseek(s->inner, innerPosition(*s, target), RW_SEEK_SET);
    if (inner < 0) return -1;
    s->position = target;
    return target;
}

size_t SDLCALL readSkipping(SDL_RWops* context, void* destination, size_t size, size_t count)
{
    Skipping* s = stateOf(context);
    if (size == 0 || count == 0) return 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    const size_t total = count <= SIZE_MAX / size ? size * count : SIZE_MAX / size * size;
    size_t done = 0;
    while (done < total) {
        // A read may not run from the header into the shifted data, nor past the data's end.
        std::int64_t limit = INT64_MAX;
        if (s->skip > 0) {
            limit = s->position < s->dataStart ? s->dataStart - s->position
                                               : std::max<std::int64_t>(s->dataEnd - s->skip - s->position, 0);
        }
        if (limit == 0) break;
        const size_t chunk = static_cast<size_t>(std::min<std::uint64_t>(total - done, static_cast<std::uint64_t>(limit)));
        if (SDL_RWseek(s->inner, innerPosition(*s, s->position), RW_SEEK_SET) < 0) break;
        const size_t got = SDL_RWread(s->inner, out + done, 1, chunk);
        done += got;
        s->position += static_cast<std::int64_t>(got);
        if (got < chunk) break;
    }
    // Partial elements count in the position, as in SDL's own RWops.
    return done / size;
}

size_t SDLCALL refuseWrite(SDL_RWops*, const void*, size_t, size_t)
{
    SDL_SetError("music files are read-only");
    return 0;
}

int SDLCALL closeSkipping(SDL_RWops* context)
{
    Skipping* s = stateOf(context);
    const int result = SDL_RWclose(s->inner);
    delete s;
    SDL_FreeRW(context);
    return result;
}

} // namespace

SDL_RWops* skippingRwops(SDL_RWops* inner)
{
    SDL_RWops* rwops = SDL_AllocRW();
    if (!rwops) {
        SDL_RWclose(inner);
        return nullptr;
    }
    rwops->type = SDL_RWOPS_UNKNOWN;
    rwops->size = sizeOfSkipping;
    rwops->seek = seekSkipping;
    rwops->read = readSkipping;
    rwops->write = refuseWrite;
    rwops->close = closeSkipping;
    const Sint64 position = SDL_RWtell(inner);
    rwops->hidden.unknown.data1 = new Skipping{inner, 0, 0, 0, position < 0 ? 0 : position};
    rwops->hidden.unknown.data2 = nullptr;
    return rwops;
}

void setSkip(SDL_RWops* rwops, std::int64_t dataStart, std::int64_t dataEnd, std::int64_t skip)
{
    Skipping* s = stateOf(rwops);
    s->dataStart = dataStart;
    s->dataEnd = dataEnd;
    s->skip = std::clamp<std::int64_t>(skip, 0, std::max<std::int64_t>(dataEnd - dataStart, 0));
}
