// Bounded allocation for the picture decoders.

#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_decoder.h"

#include <cstdlib>

void* pictureAllocate(std::size_t size)
{
    return size <= kMaxDecodedBytes ? std::malloc(size ? size : 1) : nullptr;
}

void* pictureAllocateZeroed(std::size_t count, std::size_t size)
{
    if (size != 0 && count > kMaxDecodedBytes / size) return nullptr;
    return std::calloc(count ? count : 1, size ? size : 1);
}

void* pictureReallocate(void* block, std::size_t size)
{
    return size <= kMaxDecodedBytes ? std::realloc(block, size ? size : 1) : nullptr;
}

void pictureRelease(void* block)
{
    std::free(block);
}

void DecodedPixelsDeleter::operator()(std::uint8_t* pixels) const
{
    pictureRelease(pixels);
}
