#include "capture/progress_bar.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

ProgressBar::ProgressBar(std::optional<std::uint64_t> totalFrames)
    : terminal_(::isatty(STDERR_FILENO) == 1), total_(totalFrames), start_(std::chrono::steady_clock::now())
{
}

std::string ProgressBar::line(std::uint64_t framesDone, std::optional<std::uint64_t> totalFrames, double seconds)
{
    const double fps = seconds > 0 ? static_cast<double>(framesDone) / seconds : 0.0;
    char text[160];
    if (totalFrames && *totalFrames > 0) {
        constexpr int kWidth = 30;
        const std::uint64_t done = std::min(framesDone, *totalFrames);
        const int filled = static_cast<int>(done * kWidth / *totalFrames);
        const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                                std::string(static_cast<std::size_t>(kWidth - filled), '.');
        const double left = fps > 0 ? static_cast<double>(*totalFrames - done) / fps : 0.0;
        const auto leftSeconds = static_cast<long long>(left + 0.5);
        std::snprintf(text, sizeof text, "[%s] %llu/%llu frames  %.1f fps  %lld:%02lld left", bar.c_str(),
                      static_cast<unsigned long long>(done), static_cast<unsigned long long>(*totalFrames), fps,
                      leftSeconds / 60, leftSeconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%llu frames  %.1f fps", static_cast<unsigned long long>(framesDone), fps);
    }
    return text;
}

void ProgressBar::update(std::uint64_t framesDone)
{
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDrawn_ < std::chrono::milliseconds(200)) return;
    lastDrawn_ = now;
    drawn_ = true;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    std::fprintf(stderr, "\r%s\033[K", line(framesDone, total_, seconds).c_str());
    std::fflush(stderr);
}

void ProgressBar::finish()
{
    if (!terminal_ || !drawn_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
}
