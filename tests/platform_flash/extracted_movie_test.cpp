// Extracted movie copies: written in full and removed with their owner; never over an
// existing file or through a planted link; a partial copy removed; and a termination signal
// during a load removes the copy before the process ends.
#include "platform/flash/extracted_movie.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ExtractedMovieTest : public ::testing::Test {
protected:
    ExtractedMovieTest()
    {
        folder = fs::temp_directory_path() / ("extracted_movie_" + std::to_string(::getpid()) + "_" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~ExtractedMovieTest() override { fs::remove_all(folder); }

    std::string at(const std::string& name) const { return (folder / name).string(); }
    static std::string contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Runs `body` in a child process; returns its wait status.
    template <typename Body>
    static int inChild(Body body)
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

    fs::path folder;
    const std::vector<std::uint8_t> bytes{'F', 'W', 'S', 9, 1, 2, 3, 0, 4};
};

TEST_F(ExtractedMovieTest, WritesEveryByteAndRemovesTheCopyWithItsOwner)
{
    const std::string path = at("intro.swf");
    {
        const auto movie = ExtractedMovie::write(path, bytes);
        ASSERT_TRUE(movie);
        EXPECT_EQ(movie->path(), path);
        EXPECT_EQ(contents(path), std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(path)));
}

TEST_F(ExtractedMovieTest, NeverReplacesOrFollowsWhatIsAlreadyThere)
{
    std::ofstream(at("mine.swf")) << "keep me";
    fs::create_symlink(at("mine.swf"), at("link.swf"));
    fs::create_symlink(at("nowhere.swf"), at("dangling.swf"));
    fs::create_directory(at("folder.swf"));

    for (const char* name : {"mine.swf", "link.swf", "dangling.swf", "folder.swf"})
        EXPECT_FALSE(ExtractedMovie::write(at(name), bytes)) << name;
    EXPECT_EQ(contents(at("mine.swf")), "keep me");
    EXPECT_TRUE(fs::is_symlink(at("link.swf")));
    EXPECT_TRUE(fs::is_symlink(at("dangling.swf")));
    EXPECT_FALSE(fs::exists(at("nowhere.swf")));
    EXPECT_TRUE(fs::is_directory(at("folder.swf")));
    EXPECT_FALSE(ExtractedMovie::write(at("no/such/folder.swf"), bytes));
}

TEST_F(ExtractedMovieTest, PartlyWrittenCopyIsRemoved)
{
    const std::string path = at("big.swf");
    // A file-size limit below the movie's size makes the write fail part-way.
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4, 4};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (ExtractedMovie::write(path, bytes)) ::_exit(1);
        ::_exit(fs::exists(path) ? 2 : 0);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ExtractedMovieTest, TerminationSignalRemovesTheCopyThenEndsTheProcess)
{
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        const std::string path = at("signal_" + std::to_string(signal) + ".swf");
        const int status = inChild([&] {
            removeExtractedMoviesOnSignals();
            const auto movie = ExtractedMovie::write(path, bytes);
            if (!movie || !fs::exists(path)) ::_exit(3);
            std::raise(signal);
            ::_exit(4); // not reached: the signal ends the process
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_FALSE(fs::exists(path)) << signal;
    }
}

volatile std::sig_atomic_t toolSawInterrupt = 0;

TEST_F(ExtractedMovieTest, ToolsOwnInterruptHandlerIsKept)
{
    const std::string path = at("kept.swf");
    const int status = inChild([&] {
        std::signal(SIGINT, [](int) { toolSawInterrupt = 1; });
        removeExtractedMoviesOnSignals();
        const auto movie = ExtractedMovie::write(path, bytes);
        std::raise(SIGINT);
        // The tool decides when to stop; its copy is still there until its owner goes.
        ::_exit(toolSawInterrupt && fs::exists(path) ? 0 : 5);
    });
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(ExtractedMovieTest, RemoveNowTakesEveryLiveCopyAndTheOwnerThenDoesNothing)
{
    auto movie = ExtractedMovie::write(at("a.swf"), bytes);
    ASSERT_TRUE(movie);
    removeExtractedMoviesNow();
    EXPECT_FALSE(fs::exists(at("a.swf")));
    // A new file under that name is not the owner's to remove any more.
    std::ofstream(at("a.swf")) << "new";
    movie.reset();
    EXPECT_TRUE(fs::exists(at("a.swf")));
}

} // namespace
