// Reading helpers for the PSK tests.
#pragma once

#include "psk/psk_chunk_reader.h"
#include "psk/psk_writer.h"

#include <gtest/gtest.h>

#include <variant>

// The one chunk a file of one chunk holds, read back as T; fails the test otherwise.
template <typename T>
T readSingle(const std::vector<std::uint8_t>& bytes)
{
    const PskFile file = readPskFile(bytes);
    EXPECT_FALSE(file.damage) << (file.damage ? file.damage->reason : "");
    if (file.chunks.size() != 1 || !std::holds_alternative<T>(file.chunks[0].payload)) {
        ADD_FAILURE() << "expected one chunk of the asked type, got " << file.chunks.size();
        return T{};
    }
    return std::get<T>(file.chunks[0].payload);
}

template <typename T>
T roundTrip(std::uint16_t version, const T& record)
{
    PskWriter writer;
    writer.chunk(version, 0, record);
    return readSingle<T>(writer.bytes());
}

inline std::vector<std::uint8_t> oneChunk(std::uint16_t type, std::uint16_t version, const PskPayloadBuilder& payload)
{
    PskWriter writer;
    writer.rawChunk(type, version, 0, payload.bytes());
    return writer.bytes();
}
