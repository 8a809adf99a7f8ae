#include "psk/psk_writer.h"

#include <bit>
#include <limits>
#include <stdexcept>
#include <string>

PskPayloadBuilder& PskPayloadBuilder::u8(std::uint8_t value)
{
    bytes_.push_back(value);
    return *this;
}

PskPayloadBuilder& PskPayloadBuilder::u16(std::uint16_t value)
{
    bytes_.push_back(static_cast<std::uint8_t>(value));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

PskPayloadBuilder& PskPayloadBuilder::u32(std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes_.push_back(static_cast<std::uint8_t>(value >> shift));
    return *this;
}

PskPayloadBuilder& PskPayloadBuilder::f32(float value)
{
    return u32(std::bit_cast<std::uint32_t>(value));
}

PskPayloadBuilder& PskPayloadBuilder::f32s(std::span<const float> values)
{
    for (float value : values)
        f32(value);
    return *this;
}

PskPayloadBuilder& PskPayloadBuilder::string(std::string_view text)
{
    if (text.size() > std::numeric_limits<std::uint16_t>::max())
        throw std::length_error("a PSK string holds at most 65535 bytes, not " + std::to_string(text.size()));
    u16(static_cast<std::uint16_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}

PskPayloadBuilder& PskPayloadBuilder::raw(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

PskWriter& PskWriter::chunk(std::uint16_t version, std::uint32_t objectIndex, const PskPayload& payload)
{
    return rawChunk(pskChunkTypeOf(payload), version, objectIndex, encodePskPayload(version, payload));
}

PskWriter& PskWriter::rawChunk(std::uint16_t type, std::uint16_t version, std::uint32_t objectIndex,
                               std::span<const std::uint8_t> payload)
{
    if (payload.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("a PSK chunk payload holds at most 4 GiB");
    header(type, version, objectIndex, static_cast<std::uint32_t>(payload.size()));
    return raw(payload);
}

PskWriter& PskWriter::header(std::uint16_t type, std::uint16_t version, std::uint32_t objectIndex,
                             std::uint32_t payloadLength)
{
    PskPayloadBuilder head;
    head.u16(type).u16(version).u32(objectIndex).u32(payloadLength);
    return raw(head.bytes());
}

PskWriter& PskWriter::raw(std::span<const std::uint8_t> bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}
