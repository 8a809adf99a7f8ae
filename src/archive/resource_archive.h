// Named resources packed into one or more containers, looked up by exact byte-wise name.
// Opening reads only the directory; every read reopens the container file and decodes the
// entry into a fresh buffer, so nothing is cached and no file stays open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class ResourceArchive {
public:
    // The same as openAt(path, 0).
    bool open(const std::string& path);
    // True when a container was found at `offset` (or through the trailer at the end of the
    // file) and its directory read; its entries are then added, a later record of a name
    // replacing the earlier one. False leaves the archive unchanged.
    bool openAt(const std::string& path, std::uint32_t offset);

    bool contains(const std::string& name) const;
    // The entry's declared size; 0 when there is no such entry.
    std::uint32_t entrySize(const std::string& name) const;
    // The decoded entry, exactly the declared size long; nothing when there is no such entry
    // or it cannot be read and decoded to at least its declared size.
    std::optional<std::vector<std::uint8_t>> read(const std::string& name) const;
    // As read(name); size is 0 until the entry is found, then its declared size (also when
    // decoding then fails).
    std::optional<std::vector<std::uint8_t>> read(const std::string& name, std::uint32_t& size) const;
    // Copies min(declared size, capacity) decoded bytes; returns how many, or 0 on failure.
    std::uint32_t readInto(const std::string& name, void* destination, std::uint32_t capacity) const;
    // Forgets every entry and container; the archive can be opened anew.
    void close();

private:
    struct ArchiveSource {
        std::string path;
        std::uint64_t base; // container start inside the file
    };
    struct ArchiveEntry {
        std::string name;
        std::uint32_t filterId;
        std::uint32_t declaredSize;
        std::uint32_t position; // of the stored block, relative to the source's base
        std::size_t source; // index into sources_
    };

    struct NameHasher {
        std::size_t operator()(const std::string& name) const;
    };

    const ArchiveEntry* find(const std::string& name) const;
    std::optional<std::vector<std::uint8_t>> decodeEntry(const ArchiveEntry& entry) const;

    std::vector<ArchiveSource> sources_;
    std::vector<ArchiveEntry> entries_;
    // Name to position in entries_, hashed with the archive's own name hash; it keeps opening
    // and lookup fast however many entries a container holds.
    std::unordered_map<std::string, std::size_t, NameHasher> index_;
};
