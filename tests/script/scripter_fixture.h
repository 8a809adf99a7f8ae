// A Scripter on the test doubles: a recording device, the recording sound library, scripts
// from memory and a virtual clock the test moves (every read is counted). Content files the
// loaders need are written to a per-test temporary folder and named by absolute path.
#pragma once

#include "platform/d3d9/recording/recording_device.h"
#include "platform/flash/flash_hosting.h"
#include "platform/shell/scripted_shell.h"
#include "platform/sound/recording_sound_library.h"
#include "platform/sound/sound_library.h"
#include "script/in_memory_script_source.h"
#include "script/scripter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ScripterTest : public ::testing::Test {
protected:
    ScriptedShell fakeShell;
    RecordingSoundLibrary sound;
    RecordingDevice* device = nullptr;
    InMemoryScriptSource files;
    std::unique_ptr<Scripter> scripter;
    std::filesystem::path folder;

    // The virtual clock: readings are taken from `readings` first, then `clock` is returned.
    float clock = 0.0f;
    std::deque<float> readings;
    int clockReads = 0;

    void SetUp() override {
        setShell(&fakeShell);
        setSoundLibrary(&sound);
        startFlashHosting();
        device = new RecordingDevice(800, 600, D3DFMT_X8R8G8B8);
        scripter = std::make_unique<Scripter>(device, 800, 600, [this] {
            ++clockReads;
            if (readings.empty()) return clock;
            clock = readings.front();
            readings.pop_front();
            return clock;
        });
        scripter->setScriptSource(&files);
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("script_test_" + std::to_string(::getpid()) + "_" + info->name());
        std::filesystem::create_directories(folder);
    }

    void TearDown() override {
        scripter.reset();
        if (device) device->Release();
        setSoundLibrary(nullptr);
        endFlashHosting();
        setShell(nullptr);
        std::filesystem::remove_all(folder);
    }

    void load(const std::string& text) {
        files.files["demo.psc"] = text;
        scripter->loadScript("demo.psc", 0.0f);
    }

    // Runs one frame at the given clock time.
    bool frameAt(float ms) {
        clock = ms;
        return scripter->update();
    }

    // Writes a content file and returns its absolute name.
    std::string contentFile(const std::string& name, const std::string& bytes = "content") {
        const std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // Texture factors set on the device since the last clearCalls, in order: for solid
    // colours this is the colour drawn, with its alpha.
    std::vector<std::uint32_t> textureFactors() const {
        std::vector<std::uint32_t> factors;
        const std::string prefix = "SetRenderState " + std::to_string(D3DRS_TEXTUREFACTOR) + " ";
        for (const std::string& call : device->calls()) {
            if (call.rfind(prefix, 0) == 0) factors.push_back(static_cast<std::uint32_t>(std::stoul(call.substr(prefix.size()))));
        }
        return factors;
    }

    std::size_t soundCalls(const std::string& prefix) const {
        std::size_t count = 0;
        for (const std::string& call : sound.calls()) count += call.rfind(prefix, 0) == 0;
        return count;
    }
};

// A death-test pattern matching text literally.
inline std::string literally(const std::string& text) {
    std::string pattern;
    for (char c : text) {
        if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// The statement of a death test: the real shell, which prints "caption: text" to standard
// error when no box can be shown, and no display to show one on.
#define WITH_REAL_SHELL(statement) \
    do {                           \
        ::unsetenv("DISPLAY");     \
        ::unsetenv("WAYLAND_DISPLAY"); \
        setShell(nullptr);         \
        statement;                 \
    } while (false)
