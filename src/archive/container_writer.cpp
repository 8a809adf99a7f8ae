// Positions are u32 relative to the container start, so a container stops at 4 GiB.
#include "archive/container_writer.h"

#include "archive/block_codec.h"
#include "archive/container_format.h"
#include "archive/little_endian.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace cf = container_format;

namespace {

constexpr std::uint64_t maxContainerSize = std::numeric_limits<std::uint32_t>::max();

std::string hexId(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", id);
    return text;
}

void appendBlock(std::vector<std::uint8_t>& out, const FilterBytes& block)
{
    appendU32LE(out, static_cast<std::uint32_t>(block.size()));
    out.insert(out.end(), block.begin(), block.end());
}

} // namespace

ContainerResult writeContainer(const std::vector<ContainerEntry>& entries, std::uint32_t directoryFilterId)
{
    ContainerResult result;
    std::vector<std::uint8_t>& out = result.bytes;
    out.assign(cf::headerSize, 0);
    std::copy(cf::magic.begin(), cf::magic.end(), out.begin());

    std::vector<std::uint8_t> directory;
    for (const ContainerEntry& entry : entries) {
        if (entry.name.size() > cf::maxNameLength)
            return {{}, "entry name longer than 65535 bytes: " + entry.name.substr(0, 64) + "..."};
        if (entry.bytes.size() > maxDecodedBlockLength)
            return {{}, "entry larger than the player reads (256 MiB): " + entry.name};
        const std::optional<FilterBytes> block = encodeBlock(entry.bytes, entry.filterId);
        if (!block)
            return {{}, "filter " + hexId(entry.filterId) + " cannot encode entry " + entry.name};
        if (out.size() + cf::blockLengthSize + block->size() > maxContainerSize)
            return {{}, "container would exceed 4 GiB at entry " + entry.name};
        appendU32LE(directory, static_cast<std::uint32_t>(entry.bytes.size()));
        appendU32LE(directory, static_cast<std::uint32_t>(out.size()));
        appendU32LE(directory, entry.filterId);
        appendU16LE(directory, static_cast<std::uint16_t>(entry.name.size()));
        directory.insert(directory.end(), entry.name.begin(), entry.name.end());
        appendBlock(out, *block);
    }

    const std::optional<FilterBytes> encodedDirectory = encodeBlock(directory, directoryFilterId);
    if (!encodedDirectory)
        return {{}, "filter " + hexId(directoryFilterId) + " cannot encode the directory"};
    if (entries.size() > cf::maxDirectoryRecords || directory.size() > cf::maxDirectoryLength)
        return {{}, "directory larger than the player reads (65536 entries, 16 MiB)"};
    if (out.size() + cf::directoryIdSize + cf::blockLengthSize + encodedDirectory->size() > maxContainerSize)
        return {{}, "container would exceed 4 GiB"};
    storeU32LE(out.data() + 4, static_cast<std::uint32_t>(out.size()));
    storeU32LE(out.data() + 8, static_cast<std::uint32_t>(directory.size()));
    appendU32LE(out, directoryFilterId);
    appendBlock(out, *encodedDirectory);
    return result;
}

std::optional<std::vector<std::uint8_t>> containerTrailer(std::uint64_t containerSize)
{
    const std::uint64_t distance = containerSize + cf::trailerSize;
    if (distance > maxContainerSize)
        return std::nullopt;
    // Sized once and filled in place: growing it twice trips a false -Wstringop-overflow of GCC 12 at -O3.
    std::vector<std::uint8_t> trailer(cf::trailerSize);
    storeU32LE(trailer.data(), static_cast<std::uint32_t>(distance));
    std::copy(cf::trailerMagic.begin(), cf::trailerMagic.end(), trailer.begin() + 4);
    return trailer;
}
