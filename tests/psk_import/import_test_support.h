// Shared by the import tests: a fresh folder per test, and one call that imports a source
// and reads the result back.
#pragma once

#include "player_view.h"
#include "psk_import/psk_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

inline std::filesystem::path freshFolder()
{
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "psk_import_tests" / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

struct Imported {
    PskImportSummary summary;
    PlayerView view;
};

inline Imported importAndRead(const std::filesystem::path& input, const std::filesystem::path& output,
                              PskImportOptions options = {})
{
    options.input = input;
    options.output = output;
    PskImportSummary summary = importSceneToPsk(options);
    return Imported{std::move(summary), PlayerView(output)};
}

inline bool hasNote(const PskImportSummary& summary, const std::string& part)
{
    return std::any_of(summary.notes.begin(), summary.notes.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
}
