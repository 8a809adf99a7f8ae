// Helpers for the archive tests: a scratch folder that is removed afterwards (and can be made
// the current folder), file writing, deterministic random data and container building.
#pragma once

#include "archive/container_writer.h"
#include "archive/little_endian.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes randomBytes(std::size_t count, std::uint32_t seed)
{
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(generator());
    return bytes;
}

// Text-like data that compresses well but not trivially.
inline Bytes wordyBytes(std::size_t count, std::uint32_t seed)
{
    static const char* const words[] = {"scene ", "glow ", "camera ", "light ", "mesh\n", "0.25 ", "texture ", "fade "};
    std::mt19937 generator(seed);
    Bytes bytes;
    bytes.reserve(count + 16);
    while (bytes.size() < count) {
        for (const char* c = words[generator() % 8]; *c; ++c)
            bytes.push_back(static_cast<std::uint8_t>(*c));
    }
    bytes.resize(count);
    return bytes;
}

inline Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline void writeFile(const std::filesystem::path& path, const Bytes& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline Bytes containerOf(const std::vector<ContainerEntry>& entries, std::uint32_t directoryFilterId = 1)
{
    ContainerResult result = writeContainer(entries, directoryFilterId);
    EXPECT_EQ(result.error, "");
    return result.bytes;
}

// Where record `index` of a container's directory starts, for containers whose directory is
// stored with the None filter (so the decoded directory lies in the file as it is).
inline std::size_t recordOffset(const Bytes& box, std::size_t index)
{
    std::size_t offset = loadU32LE(box.data() + 4) + 8;
    for (std::size_t i = 0; i < index; ++i)
        offset += 14 + loadU16LE(box.data() + offset + 12);
    return offset;
}

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "archive-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchFolder()
    {
        if (!previous_.empty())
            std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    // Makes this the current folder until the scratch folder goes away.
    void enter()
    {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};
