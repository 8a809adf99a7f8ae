#include "platform/flash/extracted_movie.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Names of the copies that exist now. A player removes its copy before its construction
// ends, so one entry is in use at a time; a few spare ones cost nothing.
constexpr std::size_t kSlots = 4;
constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1); // as ExtractedMovie starts
std::array<std::atomic<const char*>, kSlots> livePaths{};

std::size_t registerPath(const char* path)
{
    for (std::size_t k = 0; k < kSlots; ++k) {
        const char* expected = nullptr;
        if (livePaths[k].compare_exchange_strong(expected, path)) return k;
    }
    return kNoSlot;
}

// Whoever takes the name out of its slot removes the file: the signal handler or the owner.
void takeAndUnlink(std::size_t slot)
{
    if (slot >= kSlots) return;
    if (const char* path = livePaths[slot].exchange(nullptr)) ::unlink(path);
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Signals that would end the process while the file is being written or open are held back
// from the moment the file is created until its name is registered.
class TerminationSignalsBlocked {
public:
    TerminationSignalsBlocked()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &previous_);
    }
    ~TerminationSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }

private:
    sigset_t previous_;
};

void onTerminationSignal(int signal)
{
    removeExtractedMoviesNow();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

ExtractedMovie::ExtractedMovie(std::string path) : path_(std::move(path)) {}

std::unique_ptr<ExtractedMovie> ExtractedMovie::write(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::unique_ptr<ExtractedMovie> movie(new ExtractedMovie(path));
    int fd = -1;
    {
        const TerminationSignalsBlocked blocked;
        // O_EXCL: never over an existing file and never through a link planted under the name.
        fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) return nullptr;
        movie->created_ = true;
        movie->registration_ = registerPath(movie->path_.c_str());
    }
    const bool complete = writeAll(fd, bytes.data(), bytes.size());
    const bool closed = ::close(fd) == 0;
    if (!complete || !closed) return nullptr; // the destructor removes the partial copy
    return movie;
}

ExtractedMovie::~ExtractedMovie()
{
    if (!created_) return;
    if (registration_ == kNoSlot) {
        ::unlink(path_.c_str());
        return;
    }
    takeAndUnlink(registration_);
}

void removeExtractedMoviesNow()
{
    for (std::size_t k = 0; k < kSlots; ++k) takeAndUnlink(k);
}

void removeExtractedMoviesOnSignals()
{
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) {
        struct sigaction current {};
        if (sigaction(signal, nullptr, &current) != 0) continue;
        // A handler the tool installed (or an inherited SIG_IGN) stays as it is.
        if ((current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL) continue;
        struct sigaction handler {};
        handler.sa_handler = onTerminationSignal;
        sigemptyset(&handler.sa_mask);
        sigaction(signal, &handler, nullptr);
    }
}
