// Where script text comes from. The player reads from the archive first and the disk second;
// tests and the fuzzer hand in files from memory through the same interface.
#pragma once

#include <optional>
#include <string>

class ScriptSource {
public:
    virtual ~ScriptSource() = default;
    // The file's text, or nothing when the file is in neither place (not an error).
    virtual std::optional<std::string> read(const std::string& fileName) = 0;
};

// Archive entry bytes unchanged (carriage returns kept); else the disk file in text mode, so
// CR LF pairs arrive as single line feeds.
class ArchiveOrDiskScriptSource : public ScriptSource {
public:
    std::optional<std::string> read(const std::string& fileName) override;
};

// The disk's text mode: every CR LF pair becomes one LF; a lone CR stays.
std::string crlfToLf(std::string text);
