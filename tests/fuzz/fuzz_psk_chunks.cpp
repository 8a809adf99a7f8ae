// Fuzzes the PSK chunk reader on arbitrary bytes: it never reads outside the data, the chunks
// it returns tile the file from its start, damage lies inside the data (or at its end, where a
// field was due), and each record encodes again to no more than the payload it came from
// (nothing is invented beyond the bytes, so no count outgrows the file).
// Seeds: tests/psk/make_psk_fuzz_seeds.
// fuzz-libs: psk
#include "psk/psk_chunk_reader.h"
#include "psk/psk_chunk_type.h"
#include "psk/psk_writer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const PskFile file = readPskFile(std::span(data, size));
    std::uint64_t next = 0;
    for (const PskChunk& chunk : file.chunks) {
        const PskChunkHeader& header = chunk.header;
        if (header.offset != next || !isKnownPskChunkType(header.type)) __builtin_trap();
        if (pskChunkTypeOf(chunk.payload) != header.type) __builtin_trap();
        next = header.offset + kPskChunkHeaderSize + header.payloadLength;
        if (next > size) __builtin_trap();
        if (encodePskPayload(header.version, chunk.payload).size() > header.payloadLength) __builtin_trap();
    }
    if (file.damage) {
        if (file.damage->offset < next || file.damage->offset > size) __builtin_trap();
        if (file.damage->reason.empty()) __builtin_trap();
    } else if (next != size) {
        __builtin_trap();
    }
    return 0;
}
