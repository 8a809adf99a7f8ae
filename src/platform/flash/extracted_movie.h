// A movie written out from the archive so the control can open it by name, removed again
// when this object goes. It is created only where no file (nor link) of that name exists,
// and a copy that could not be written completely is removed at once. While it exists, its
// name is known to removeExtractedMoviesNow, which a tool's signal handler may call, so an
// interrupted run leaves nothing behind either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ExtractedMovie {
public:
    // Null when the file exists already (as anything, a dangling link included), cannot be
    // created, or cannot be written in full.
    static std::unique_ptr<ExtractedMovie> write(const std::string& path, const std::vector<std::uint8_t>& bytes);
    ~ExtractedMovie();
    ExtractedMovie(const ExtractedMovie&) = delete;
    ExtractedMovie& operator=(const ExtractedMovie&) = delete;

    const std::string& path() const { return path_; }

private:
    explicit ExtractedMovie(std::string path);
    std::string path_;
    bool created_ = false;
    std::size_t registration_ = static_cast<std::size_t>(-1);
};

// Removes every extracted movie that still exists. Async-signal-safe.
void removeExtractedMoviesNow();

// For tools: each of SIGHUP, SIGINT, SIGQUIT and SIGTERM that would end the process as it
// stands (no handler of the tool's own, not ignored) first removes the extracted movies, then
// ends it as before.
void removeExtractedMoviesOnSignals();
