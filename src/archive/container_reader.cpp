// Locating a container and reading its directory, with every field checked before use.
#include "archive/container_reader.h"

#include "archive/block_codec.h"
#include "archive/cflrh_zlib.h"
#include "archive/container_format.h"
#include "archive/little_endian.h"

#include <algorithm>

namespace cf = container_format;

namespace {

bool hasMagicAt(BinaryFile& file, std::uint64_t position, const std::array<std::uint8_t, 4>& magic)
{
    std::uint8_t bytes[4];
    return file.readAt(position, bytes, sizeof bytes) && std::equal(magic.begin(), magic.end(), bytes);
}

std::optional<std::uint32_t> readU32At(BinaryFile& file, std::uint64_t position)
{
    std::uint8_t bytes[4];
    if (!file.readAt(position, bytes, sizeof bytes))
        return std::nullopt;
    return loadU32LE(bytes);
}

// The container start: the given offset when the magic is there, else the start named by a
// trailer at the end of the file.
std::optional<std::uint64_t> locateContainer(BinaryFile& file, std::uint32_t offset)
{
    if (hasMagicAt(file, offset, cf::magic))
        return offset;
    const std::uint64_t size = file.size();
    if (size < cf::trailerSize || !hasMagicAt(file, size - 4, cf::trailerMagic))
        return std::nullopt;
    const std::optional<std::uint32_t> distance = readU32At(file, size - cf::trailerSize);
    if (!distance || *distance > size)
        return std::nullopt;
    const std::uint64_t base = size - *distance;
    if (!hasMagicAt(file, base, cf::magic))
        return std::nullopt;
    return base;
}

// Every record must point at a block whose length word lies in the file, and declare no more
// than the rest of the file could decode to; otherwise the directory is damaged.
bool recordsFitFile(const std::vector<DirectoryRecord>& records, std::uint64_t base, std::uint64_t fileSize)
{
    for (const DirectoryRecord& record : records) {
        const std::uint64_t block = base + record.position;
        if (block > fileSize || fileSize - block < cf::blockLengthSize)
            return false;
        if (record.declaredSize > maxDecodedLength(fileSize - block - cf::blockLengthSize))
            return false;
    }
    return true;
}

} // namespace

std::uint64_t maxDecodedLength(std::uint64_t storedLength)
{
    // ZLIB is the only filter that grows data; the delta and None stages keep the length.
    return storedLength * CFLRH_Zlib::maxInflateRatio;
}

std::optional<std::uint32_t> readStoredLength(BinaryFile& file, std::uint64_t position)
{
    return readU32At(file, position);
}

std::optional<std::vector<std::uint8_t>> readStoredBlock(BinaryFile& file, std::uint64_t position,
                                                         std::uint64_t maxLength)
{
    const std::optional<std::uint32_t> length = readStoredLength(file, position);
    // Checked against the file and the ceiling before anything is allocated.
    if (!length || *length > maxLength || !file.holds(position + cf::blockLengthSize, *length))
        return std::nullopt;
    std::vector<std::uint8_t> block(*length);
    if (!file.readAt(position + cf::blockLengthSize, block.data(), block.size()))
        return std::nullopt;
    return block;
}

std::optional<std::vector<DirectoryRecord>> parseDirectory(std::span<const std::uint8_t> decoded,
                                                           std::uint32_t declaredLength)
{
    if (declaredLength > decoded.size())
        return std::nullopt;
    std::vector<DirectoryRecord> records;
    std::size_t offset = 0;
    while (offset < declaredLength) {
        if (declaredLength - offset < cf::recordFixedSize || records.size() == cf::maxDirectoryRecords)
            return std::nullopt;
        const std::uint8_t* fixed = decoded.data() + offset;
        const std::uint16_t nameLength = loadU16LE(fixed + 12);
        if (declaredLength - offset - cf::recordFixedSize < nameLength)
            return std::nullopt;
        DirectoryRecord record;
        record.declaredSize = loadU32LE(fixed);
        record.position = loadU32LE(fixed + 4);
        record.filterId = loadU32LE(fixed + 8);
        record.name.assign(reinterpret_cast<const char*>(fixed + cf::recordFixedSize), nameLength);
        records.push_back(std::move(record));
        offset += cf::recordFixedSize + nameLength;
    }
    return records;
}

std::optional<ContainerDirectory> readContainerDirectory(const std::string& path, std::uint32_t offset)
{
    std::optional<BinaryFile> file = BinaryFile::open(path);
    if (!file)
        return std::nullopt;
    const std::optional<std::uint64_t> base = locateContainer(*file, offset);
    if (!base)
        return std::nullopt;

    ContainerDirectory directory;
    directory.base = *base;
    directory.fileSize = file->size();
    std::uint8_t header[cf::headerSize];
    if (!file->readAt(*base, header, sizeof header))
        return std::nullopt;
    directory.directoryPosition = loadU32LE(header + 4);
    directory.directoryLength = loadU32LE(header + 8);
    if (directory.directoryLength > cf::maxDirectoryLength)
        return std::nullopt;

    const std::uint64_t directoryAt = *base + directory.directoryPosition;
    const std::optional<std::uint32_t> filterId = readU32At(*file, directoryAt);
    if (!filterId)
        return std::nullopt;
    directory.directoryFilterId = *filterId;
    const std::optional<std::vector<std::uint8_t>> stored = readStoredBlock(*file, directoryAt + cf::directoryIdSize, cf::maxStoredBlockLength);
    if (!stored)
        return std::nullopt;
    directory.directoryStoredLength = static_cast<std::uint32_t>(stored->size());

    const std::optional<FilterBytes> decoded = decodeBlock(*stored, directory.directoryFilterId, cf::maxDirectoryLength);
    if (!decoded)
        return std::nullopt;
    std::optional<std::vector<DirectoryRecord>> records = parseDirectory(*decoded, directory.directoryLength);
    if (!records || !recordsFitFile(*records, directory.base, directory.fileSize))
        return std::nullopt;
    directory.records = std::move(*records);
    return directory;
}
