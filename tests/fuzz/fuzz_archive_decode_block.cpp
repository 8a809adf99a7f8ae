// Fuzzes decodeBlock with an arbitrary filter id (the first four input bytes, little-endian)
// and stored block (the rest). Whatever decodes must encode again with the same id and decode
// back to the same bytes. A limit one byte short of the result must refuse it; a limit of
// exactly its length may still refuse a zlib block whose stated length is larger (the stated
// length bounds the allocation before the stream is read), but must never change it.
// fuzz-libs: archive
#include "archive/block_codec.h"
#include "archive/little_endian.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const std::uint32_t id = loadU32LE(data);
    const std::span<const std::uint8_t> block(data + 4, size - 4);
    const std::optional<FilterBytes> decoded = decodeBlock(block, id);
    if (!decoded)
        return 0;
    if (!decoded->empty() && decodeBlock(block, id, decoded->size() - 1))
        __builtin_trap();
    if (const std::optional<FilterBytes> limited = decodeBlock(block, id, decoded->size()); limited && limited != decoded)
        __builtin_trap();
    const std::optional<FilterBytes> encoded = encodeBlock(*decoded, id);
    if (!encoded)
        __builtin_trap();
    const std::optional<FilterBytes> again = decodeBlock(*encoded, id);
    if (!again || *again != *decoded)
        __builtin_trap();
    return 0;
}
