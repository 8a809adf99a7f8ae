// Rendering tests need a headless OpenGL context. On a developer's machine without one they
// skip; under CI (CI=true) a missing context is a failure, so a broken driver set-up can never
// pass as a suite of skips.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

inline bool runningUnderCi()
{
    const char* ci = std::getenv("CI");
    return ci && (std::strcmp(ci, "true") == 0 || std::strcmp(ci, "1") == 0);
}

// Use in SetUp (or a test body) right after the context creation failed.
#define DEMO_SKIP_WITHOUT_GPU(why)                                                                                 \
    do {                                                                                                           \
        if (runningUnderCi()) FAIL() << (why) << " (CI=true: a rendering test may not skip)";                     \
        GTEST_SKIP() << (why);                                                                                     \
    } while (0)
