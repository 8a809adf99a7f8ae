#include "capture_frames.h"

#include "source_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int run(const std::string& arguments, const fs::path& log)
{
    const std::string command = std::string(DEMOTOOL_PATH) + " " + arguments + " >" + log.string() + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

std::vector<DecodedPicture> importAndCapture(const fs::path& dir, const std::string& name, const std::string& at)
{
    const fs::path demo = dir / "demo";
    fs::create_directories(demo);
    const std::string psk = (demo / (name + ".psk")).string();
    if (run("psk import " + (dir / (name + ".gltf")).string() + " -o " + psk, dir / "import.log") != 0)
        throw std::runtime_error("import failed: " + contents(dir / "import.log"));
    writeTextFile(demo / "demo.psc", "loadscene " + name + ".psk " + name + "\nplayscene " + name + "\nwait 2000\n");
    if (run("capture -C " + demo.string() + " --at " + at + " -o " + (dir / "png").string(), dir / "capture.log") != 0)
        throw std::runtime_error("capture failed: " + contents(dir / "capture.log"));
    std::vector<DecodedPicture> frames;
    std::istringstream times(at);
    for (std::string ms; std::getline(times, ms, ',');) {
        char file[32];
        std::snprintf(file, sizeof file, "frame_%06d.png", std::stoi(ms) / 20); // 50 frames a second
        const std::string bytes = contents(dir / "png" / file);
        auto picture = decodePicture(bytes.data(), bytes.size());
        if (!picture || picture->header.width != kFrameWidth || picture->header.height != kFrameHeight)
            throw std::runtime_error(std::string("frame missing or not 800 x 600: ") + file);
        frames.push_back(std::move(*picture));
    }
    return frames;
}

Rgb pixel(const DecodedPicture& picture, unsigned x, unsigned y)
{
    const std::uint8_t* p = picture.rgba.get() + (std::size_t{y} * kFrameWidth + x) * 4;
    return {p[0], p[1], p[2]};
}

bool drawn(const DecodedPicture& picture, unsigned x, unsigned y)
{
    const Rgb c = pixel(picture, x, y);
    return std::max({c.r, c.g, c.b}) > 4;
}

void Bounds::add(float x, float y)
{
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
}

Bounds drawnBounds(const DecodedPicture& picture)
{
    Bounds bounds;
    for (unsigned y = 0; y < kFrameHeight; ++y)
        for (unsigned x = 0; x < kFrameWidth; ++x)
            if (drawn(picture, x, y)) {
                bounds.add(static_cast<float>(x) - 0.5f, static_cast<float>(y) - 0.5f);
                bounds.add(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
            }
    return bounds;
}

void expectBounds(const Bounds& measured, const Bounds& expected, float tolerance)
{
    std::printf("bounds measured [%.1f %.1f] x [%.1f %.1f], projected [%.2f %.2f] x [%.2f %.2f]\n", measured.left,
                measured.right, measured.top, measured.bottom, expected.left, expected.right, expected.top,
                expected.bottom);
    EXPECT_NEAR(measured.left, expected.left, tolerance);
    EXPECT_NEAR(measured.right, expected.right, tolerance);
    EXPECT_NEAR(measured.top, expected.top, tolerance);
    EXPECT_NEAR(measured.bottom, expected.bottom, tolerance);
}
