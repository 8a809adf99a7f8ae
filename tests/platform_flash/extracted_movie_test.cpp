// Extracted movie copies: written in full and removed with their owner; never over an
// existing file or through a planted link; a partial copy removed; a termination signal
// removes the copy before the process ends, and a tool's own Ctrl-C handler is kept.
#include "platform/flash/extracted_movie.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> kBytes{'F', 'W', 'S', 9, 1, 2, 3, 0, 4};
volatile std::sig_atomic_t toolSawInterrupt = 0;

fs::path folder()
{
    return fs::temp_directory_path() / ("extracted_movie_" + std::to_string(::getpid()));
}

std::string scratch(const std::string& name)
{
    fs::create_directories(folder());
    return (folder() / name).string();
}

// The wait status of a child process that runs `body`.
template <typename Body>
int inChild(Body body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(ExtractedMovie, WrittenInFullRemovedWithItsOwnerAndNeverOverWhatIsThere)
{
    const std::string path = scratch("intro.swf");
    {
        const auto movie = ExtractedMovie::write(path, kBytes);
        ASSERT_TRUE(movie);
        EXPECT_EQ(fs::file_size(path), kBytes.size());
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));

    std::ofstream(scratch("mine.swf")) << "keep me";
    fs::create_symlink(scratch("mine.swf"), scratch("link.swf"));
    fs::create_symlink(scratch("nowhere.swf"), scratch("dangling.swf"));
    for (const char* name : {"mine.swf", "link.swf", "dangling.swf", "no/such/folder.swf"})
        EXPECT_FALSE(ExtractedMovie::write(scratch(name), kBytes)) << name;
    EXPECT_EQ(fs::file_size(scratch("mine.swf")), 7u);
    EXPECT_TRUE(fs::is_symlink(scratch("dangling.swf")));
    EXPECT_FALSE(fs::exists(scratch("nowhere.swf")));
    fs::remove_all(folder());
}

TEST(ExtractedMovie, PartlyWrittenCopyIsRemovedAndSignalsRemoveALiveCopy)
{
    const std::string path = scratch("child.swf");
    const int full = inChild([&] { // a file-size limit makes the write fail part-way
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4, 4};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(ExtractedMovie::write(path, kBytes) || fs::exists(path) ? 1 : 0);
    });
    EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 0);
    EXPECT_FALSE(fs::exists(path));

    for (int signal : {SIGTERM, SIGHUP}) {
        const int status = inChild([&] {
            removeExtractedMoviesOnSignals();
            const auto movie = ExtractedMovie::write(path, kBytes);
            if (movie && fs::exists(path)) std::raise(signal);
        });
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_FALSE(fs::exists(path)) << signal;
    }
    const int interrupted = inChild([&] { // the tool's handler decides when to stop
        std::signal(SIGINT, [](int) { toolSawInterrupt = 1; });
        removeExtractedMoviesOnSignals();
        auto movie = ExtractedMovie::write(path, kBytes);
        std::raise(SIGINT);
        const bool kept = toolSawInterrupt && fs::exists(path);
        movie.reset();
        ::_exit(kept ? 0 : 5);
    });
    EXPECT_TRUE(WIFEXITED(interrupted) && WEXITSTATUS(interrupted) == 0);
    EXPECT_FALSE(fs::exists(path));
    fs::remove_all(folder());
}

} // namespace
