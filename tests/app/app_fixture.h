// Installs a ScriptedShell and resets the process-wide AppContext around each test.
#pragma once

#include "app/app_context.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "platform/shell/scripted_shell.h"
#include "script/scripter.h"

#include <gtest/gtest.h>

class AppTest : public ::testing::Test {
protected:
    ScriptedShell fakeShell;

    void SetUp() override
    {
        resetContext();
        setShell(&fakeShell);
    }
    void TearDown() override
    {
        setShell(nullptr);
        resetContext();
    }

    static void resetContext()
    {
        appContext.scripter.reset();
        safeRelease(appContext.device);
        safeRelease(appContext.direct3d);
        setTheArchive(nullptr);
        appContext.archive.reset();
        appContext.instance = nullptr;
        appContext.fullScreen = false;
        appContext.window = nullptr;
        appContext.quitRequested = false;
        appContext.counterFrequency = 0;
        appContext.startMs = 0;
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
