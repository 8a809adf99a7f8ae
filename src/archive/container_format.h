// Constants of the container layout: the header at the container start B, the trailer that
// finds a container appended to another file, stored blocks and directory records. Positions
// inside a container are relative to B; all integers are little-endian.
#pragma once

#include "archive/cfl_resource_filter.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace container_format {
constexpr std::array<std::uint8_t, 4> magic = {'C', 'F', 'L', '3'};
constexpr std::array<std::uint8_t, 4> trailerMagic = {'3', 'C', 'F', 'L'};

// magic, u32 directory position D, u32 decoded directory length
constexpr std::size_t headerSize = 12;
// u32 distance from B to the end of the file, then the trailer magic
constexpr std::size_t trailerSize = 8;
// at B + D: u32 directory filter id, then the directory's stored block
constexpr std::size_t directoryIdSize = 4;
// a stored block: u32 stored length N, then N bytes
constexpr std::size_t blockLengthSize = 4;
// u32 declared size, u32 block position, u32 filter id, u16 name length, then the name
constexpr std::size_t recordFixedSize = 14;
constexpr std::size_t maxNameLength = 0xFFFF;

// Ceilings that keep a hostile container from exhausting memory. A stored block may exceed
// what it decodes to by deflate's few bytes per 16 KiB; a directory is limited both in bytes
// and in records (a record costs far more in memory than its 14 bytes on disk), several
// hundred times beyond any real demo.
constexpr std::size_t maxStoredBlockLength = maxDecodedBlockLength + maxDecodedBlockLength / 256;
constexpr std::size_t maxDirectoryLength = std::size_t{16} << 20;
constexpr std::size_t maxDirectoryRecords = 65536;
} // namespace container_format
