// Shared set-up of the music tests: a RecordingSoundLibrary and a ScriptedShell installed
// around each test, a scratch folder for music files, and a way to catch a process exit.
#pragma once

#include "platform/shell/scripted_shell.h"
#include "platform/sound/recording_sound_library.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Writes a file into the folder and returns its full path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

private:
    std::filesystem::path folder_;
};

class MusicTest : public ::testing::Test {
protected:
    ScriptedShell fakeShell;
    RecordingSoundLibrary library;
    ScratchFolder scratch;

    void SetUp() override
    {
        setShell(&fakeShell);
        setSoundLibrary(&library);
    }
    void TearDown() override
    {
        setSoundLibrary(nullptr);
        setShell(nullptr);
    }

    // Runs code that must end the process; returns the exit code it asked for.
    template <typename F>
    int exitCodeOf(F&& code)
    {
        try {
            code();
        } catch (const ProcessExit& exit) {
            return exit.code;
        }
        ADD_FAILURE() << "the process did not exit";
        return -1;
    }
};
