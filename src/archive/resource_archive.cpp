// Lookup goes through a hash index keyed by the exact name bytes; names are never normalised.
#include "archive/resource_archive.h"

#include "archive/binary_file.h"
#include "archive/block_codec.h"
#include "archive/cflrh_none.h"
#include "archive/container_format.h"
#include "archive/container_reader.h"
#include "archive/name_hash.h"

#include <algorithm>
#include <cstring>

bool ResourceArchive::open(const std::string& path)
{
    return openAt(path, 0);
}

bool ResourceArchive::openAt(const std::string& path, std::uint32_t offset)
{
    std::optional<ContainerDirectory> directory = readContainerDirectory(path, offset);
    if (!directory)
        return false;
    const std::size_t source = sources_.size();
    sources_.push_back({path, directory->base});
    for (DirectoryRecord& record : directory->records) {
        ArchiveEntry entry{std::move(record.name), record.filterId, record.declaredSize, record.position, source};
        const auto [slot, added] = index_.try_emplace(entry.name, entries_.size());
        if (added)
            entries_.push_back(std::move(entry));
        else
            entries_[slot->second] = std::move(entry); // the later record wins
    }
    return true;
}

std::size_t ResourceArchive::NameHasher::operator()(const std::string& name) const
{
    return archiveNameHash(name);
}

const ResourceArchive::ArchiveEntry* ResourceArchive::find(const std::string& name) const
{
    const auto found = index_.find(name);
    return found == index_.end() ? nullptr : &entries_[found->second];
}

bool ResourceArchive::contains(const std::string& name) const
{
    return find(name) != nullptr;
}

std::uint32_t ResourceArchive::entrySize(const std::string& name) const
{
    const ArchiveEntry* entry = find(name);
    return entry ? entry->declaredSize : 0;
}

std::optional<std::vector<std::uint8_t>> ResourceArchive::decodeEntry(const ArchiveEntry& entry) const
{
    if (entry.declaredSize > maxDecodedBlockLength)
        return std::nullopt;
    const ArchiveSource& source = sources_[entry.source];
    std::optional<BinaryFile> file = BinaryFile::open(source.path);
    if (!file)
        return std::nullopt;
    std::optional<std::vector<std::uint8_t>> stored =
        readStoredBlock(*file, source.base + entry.position, container_format::maxStoredBlockLength);
    // A declared size that the stored bytes cannot produce is damage, found before decoding.
    if (!stored || entry.declaredSize > maxDecodedLength(stored->size()))
        return std::nullopt;
    file.reset();
    // A plainly stored entry is its own decoding; skip the None filter's copy.
    std::optional<FilterBytes> decoded =
        entry.filterId == CFLRH_None::filterId ? std::move(stored) : decodeBlock(*stored, entry.filterId);
    stored.reset();
    // A block that decodes short of its declared size is damaged; a longer one is cut.
    if (!decoded || decoded->size() < entry.declaredSize)
        return std::nullopt;
    decoded->resize(entry.declaredSize);
    return decoded;
}

std::optional<std::vector<std::uint8_t>> ResourceArchive::read(const std::string& name) const
{
    std::uint32_t size = 0;
    return read(name, size);
}

std::optional<std::vector<std::uint8_t>> ResourceArchive::read(const std::string& name, std::uint32_t& size) const
{
    size = 0;
    const ArchiveEntry* entry = find(name);
    if (!entry)
        return std::nullopt;
    size = entry->declaredSize;
    return decodeEntry(*entry);
}

std::uint32_t ResourceArchive::readInto(const std::string& name, void* destination, std::uint32_t capacity) const
{
    const std::optional<std::vector<std::uint8_t>> data = read(name);
    if (!data)
        return 0;
    const std::uint32_t count = std::min<std::uint32_t>(static_cast<std::uint32_t>(data->size()), capacity);
    if (count)
        std::memcpy(destination, data->data(), count);
    return count;
}

void ResourceArchive::close()
{
    index_.clear();
    entries_.clear();
    sources_.clear();
}
