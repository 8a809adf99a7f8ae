// A ten-minute demo played through `demotool capture` (5 frames a second, none written):
// every three seconds pictures, a sequence and a colour are loaded, layered, moved and faded,
// the music switches between two files, and everything is freed again. Resident memory is
// sampled while it runs; after the first minute it must stay flat (within 5 %), or something
// loaded is never given back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kScriptSeconds = 600;
constexpr int kCycleMs = 3000;

std::string soakScript()
{
    std::ostringstream script;
    script << "setvolume 0\n";
    for (int cycle = 0, t = 0; t < kScriptSeconds * 1000; ++cycle, t += kCycleMs) {
        const int x = 50 + (cycle * 37) % 300, y = 40 + (cycle * 53) % 200;
        script << "waituntil " << t << "\n"
               << "loadimage backdrop.png back\nloadimage photo.jpg photo\nloadimage counter.seq counter\n"
               << "loadimage big.bmp big\nsetlayer big 3\nsetlayeralpha 3 0.1\n"
               << "createcolor " << (cycle * 40) % 256 << " 64 128 tint\n"
               << "loadmusic " << (cycle % 2 ? "theme.wav" : "theme2.wav") << " song\n"
               << "playmusic song " << (cycle * 700) % 5000 << "\n"
               << "setlayer tint -1\nsetlayer back 0\nsetlayerpos 0 " << x << ' ' << y << "\n"
               << "setlayer photo 1\nsetlayerpos 1 " << y << ' ' << x << "\nsetlayerposdelta 1 20 -10\n"
               << "setlayeralpha 1 0.25\nsetlayeralphadelta 1 0.3\nsetlayeradditive 1 " << cycle % 2 << "\n"
               << "setlayer counter 2\n"
               << "waituntil " << t + kCycleMs / 2 << "\n"
               << "removelayer 1\nstopmusic\nfreemusic song\nfreeimage photo\n"
               << "waituntil " << t + kCycleMs - 100 << "\n"
               << "clearlayers\nfreeimage back\nfreeimage counter\nfreeimage tint\nfreeimage big\n";
    }
    script << "waituntil " << kScriptSeconds * 1000 << "\n";
    return script.str();
}

// A 1024 x 1024 24-bit BMP of a gradient: 4 MiB a load once decoded, so a picture that is
// never freed shows at once.
void writeBigPicture(const fs::path& path)
{
    constexpr std::uint32_t side = 1024, rowBytes = side * 3, pixelBytes = rowBytes * side;
    std::vector<std::uint8_t> file = {'B', 'M'};
    auto put = [&file](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(54 + pixelBytes, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(side, 4);
    put(side, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(pixelBytes, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t x = 0; x < side; ++x) put((x / 4) | ((y / 4) << 8) | (((x + y) / 8) << 16), 3);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

double mean(const std::vector<long>& values)
{
    double sum = 0;
    for (const long value : values)
        sum += static_cast<double>(value);
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

} // namespace

TEST(SoakTest, TenMinutesOfLoadsFreesLayersAndMusicKeepResidentMemoryFlat)
{
    const fs::path folder = fs::temp_directory_path() / ("soak_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path sample = fs::path(DEMO_SOURCE_ROOT) / "tests/demos/layers";
    for (const char* name : {"backdrop.png", "photo.jpg", "counter.seq", "f0.png", "f1.png", "f2.png", "theme.wav"})
        fs::copy_file(sample / name, folder / name);
    fs::copy_file(sample / "theme.wav", folder / "theme2.wav");
    writeBigPicture(folder / "big.bmp");
    std::ofstream(folder / "demo.psc") << soakScript();

    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen((folder / "capture.err").c_str(), "w", stderr);
        // Frames are composed at 5 a second, and none before the end is written.
        ::execl(DEMOTOOL_PATH, DEMOTOOL_PATH, "capture", "-C", folder.c_str(), "--fps", "5", "--from",
                std::to_string(kScriptSeconds * 1000 + 1).c_str(), "-o", (folder / "frames").c_str(), nullptr);
        ::_exit(127);
    }
    // Samples in order; their index stands for the time they were taken at.
    std::vector<long> samples;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(20);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            FAIL() << "the soak did not end within 20 minutes";
        }
        if (const long kib = residentKiB(pid); kib > 0)
            samples.push_back(kib);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::ifstream errors(folder / "capture.err");
    const std::string err((std::istreambuf_iterator<char>(errors)), std::istreambuf_iterator<char>());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << err;
    ASSERT_GE(samples.size(), 50u) << "the run was too short to judge";

    // The second and the last tenth of the run stand for the second and the last minute.
    const std::size_t tenth = samples.size() / 10;
    const std::vector<long> second(samples.begin() + tenth, samples.begin() + 2 * tenth);
    const std::vector<long> last(samples.end() - tenth, samples.end());
    const long secondPeak = *std::max_element(second.begin(), second.end());
    const long lastPeak = *std::max_element(last.begin(), last.end());
    EXPECT_LE(mean(last), mean(second) * 1.05) << "mean resident KiB, second minute against the last";
    EXPECT_LE(static_cast<double>(lastPeak), secondPeak * 1.05) << "peak resident KiB, second minute against the last";
    RecordProperty("second_minute_peak_kib", std::to_string(secondPeak));
    RecordProperty("last_minute_peak_kib", std::to_string(lastPeak));
    std::printf("resident KiB: second minute mean %.0f peak %ld, last minute mean %.0f peak %ld (%zu samples)\n",
                mean(second), secondPeak, mean(last), lastPeak, samples.size());
    fs::remove_all(folder);
}
