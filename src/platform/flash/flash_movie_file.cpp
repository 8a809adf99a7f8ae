#include "platform/flash/flash_movie_file.h"

#include "platform/flash/flash_movie_header.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A sound compressed body yields its first few dozen bytes from far less than this; reading
// no more keeps a huge movie from being loaded whole just for its frame count.
constexpr std::size_t kHeaderProbeBytes = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

bool movieFileReadable(const std::string& path)
{
    // A folder opens for reading too, but holds no movie.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    ::close(fd);
    return regular;
}

int readMovieFrameCount(const std::string& path)
{
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) return 0;
    std::vector<std::uint8_t> bytes(kHeaderProbeBytes);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    const std::optional<FlashMovieHeader> header = readFlashMovieHeader(bytes.data(), bytes.size());
    return header ? header->frameCount : 0;
}
