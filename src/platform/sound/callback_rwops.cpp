// SDL_RWops over the caller's file callbacks: read, seek, size and close map onto them.
#include "platform/sound/callback_rwops.h"

#include <climits>
#include <cstdint>

namespace {

struct CallbackFile {
    SoundFileCallbacks callbacks;
    void* handle;
};

CallbackFile* fileOf(SDL_RWops* context)
{
    return static_cast<CallbackFile*>(context->hidden.unknown.data1);
}

size_t SDLCALL readFile(SDL_RWops* context, void* destination, size_t size, size_t count)
{
    if (size == 0 || count == 0) return 0;
    CallbackFile* file = fileOf(context);
    // The callback counts bytes in an int; ask for whole elements only, at most INT_MAX bytes.
    const size_t elements = count < static_cast<size_t>(INT_MAX) / size ? count : static_cast<size_t>(INT_MAX) / size;
    if (elements == 0) return 0;
    const int got = file->callbacks.read(destination, static_cast<int>(elements * size), file->handle);
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

Sint64 SDLCALL seekFile(SDL_RWops* context, Sint64 offset, int whence)
{
    if (offset < INT32_MIN || offset > INT32_MAX || whence < RW_SEEK_SET || whence > RW_SEEK_END) {
        return SDL_SetError("seek out of range");
    }
    CallbackFile* file = fileOf(context);
    if (file->callbacks.seek(file->handle, static_cast<int>(offset), static_cast<signed char>(whence)) != 0) {
        return SDL_SetError("seek failed");
    }
    const int position = file->callbacks.tell(file->handle);
    return position < 0 ? SDL_SetError("tell failed") : position;
}

Sint64 SDLCALL sizeOfFile(SDL_RWops* context)
{
    CallbackFile* file = fileOf(context);
    const int here = file->callbacks.tell(file->handle);
    if (here < 0) return -1;
    file->callbacks.seek(file->handle, 0, RW_SEEK_END);
    const int end = file->callbacks.tell(file->handle);
    file->callbacks.seek(file->handle, here, RW_SEEK_SET);
    return end;
}

size_t SDLCALL refuseWrite(SDL_RWops*, const void*, size_t, size_t)
{
    SDL_SetError("music files are read-only");
    return 0;
}

int SDLCALL closeFile(SDL_RWops* context)
{
    CallbackFile* file = fileOf(context);
    file->callbacks.close(file->handle);
    delete file;
    SDL_FreeRW(context);
    return 0;
}

} // namespace

SDL_RWops* rwopsFromCallbacks(const SoundFileCallbacks& callbacks, void* handle)
{
    SDL_RWops* rwops = SDL_AllocRW();
    if (!rwops) {
        callbacks.close(handle);
        return nullptr;
    }
    rwops->type = SDL_RWOPS_UNKNOWN;
    rwops->size = sizeOfFile;
    rwops->seek = seekFile;
    rwops->read = readFile;
    rwops->write = refuseWrite;
    rwops->close = closeFile;
    rwops->hidden.unknown.data1 = new CallbackFile{callbacks, handle};
    rwops->hidden.unknown.data2 = nullptr;
    return rwops;
}
