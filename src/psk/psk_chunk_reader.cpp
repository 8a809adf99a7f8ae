#include "psk/psk_chunk_reader.h"

#include "psk/psk_chunk_type.h"
#include "psk/psk_payload_readers.h"

PskChunkReader::Step PskChunkReader::stop(PskDamageKind kind, std::uint64_t offset, std::string reason)
{
    damage_ = PskDamage{kind, offset, std::move(reason)};
    return Step::Damaged;
}

PskChunkReader::Step PskChunkReader::next(PskChunk& chunk)
{
    if (damage_)
        return Step::Damaged;
    if (position_ >= data_.size())
        return Step::End;

    const std::uint64_t start = position_;
    const std::uint64_t left = data_.size() - start;
    if (left < kPskChunkHeaderSize)
        return stop(PskDamageKind::Damaged, start,
                    "the chunk header is cut short: " + std::to_string(left) + " of 12 bytes left in the file");

    PskCursor header(data_.subspan(start, kPskChunkHeaderSize), start);
    PskChunkHeader& head = chunk.header;
    head.offset = start;
    head.type = header.u16("chunk type");
    head.version = header.u16("chunk version");
    head.objectIndex = header.u32("object index");
    head.payloadLength = header.u32("payload length");

    if (head.payloadLength > left - kPskChunkHeaderSize)
        return stop(PskDamageKind::Damaged, start + 8,
                    "the payload of " + std::to_string(head.payloadLength) + " bytes runs past the end of the file (" +
                        std::to_string(left - kPskChunkHeaderSize) + " bytes left)");
    if (!isKnownPskChunkType(head.type))
        return stop(PskDamageKind::UnknownChunk, start, "unknown chunk type " + std::to_string(head.type));

    PskCursor payload(data_.subspan(start + kPskChunkHeaderSize, head.payloadLength), start + kPskChunkHeaderSize);
    chunk.payload = readPskPayload(payload, head.type, head.version);
    if (payload.failed())
        return stop(PskDamageKind::Damaged, payload.failureOffset(),
                    std::string(pskChunkTypeName(head.type)) + " chunk: " + payload.failureReason());

    position_ = start + kPskChunkHeaderSize + head.payloadLength;
    return Step::Chunk;
}

PskFile readPskFile(std::span<const std::uint8_t> data)
{
    PskFile file;
    PskChunkReader reader(data);
    PskChunk chunk;
    while (reader.next(chunk) == PskChunkReader::Step::Chunk)
        file.chunks.push_back(std::move(chunk));
    file.damage = reader.damage();
    return file;
}
