// demotool play: plays a container, a one-file demo or a folder of loose files in a window
// (or full screen) without the start-up question; everything else is demoplayer's.
#include "app/app_context.h"
#include "app/player.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "commands.h"
#include "platform/flash/extracted_movie.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

struct PlayArguments {
    std::string directory = ".";
    std::string archive;
    bool fullScreen = false;
    bool windowed = false;
};

void runPlayCommand(const PlayArguments& arguments)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    const std::string archivePath = arguments.archive.empty() ? "" : fs::absolute(arguments.archive, failure).string();
    if (!archivePath.empty() && !fs::is_regular_file(archivePath, failure))
        throw ToolError(arguments.archive + ": not a readable file");
    if (chdir(arguments.directory.c_str()) != 0) throw ToolError("cannot enter " + arguments.directory);

    storeModuleInstance();
    appContext.archive = std::make_unique<ResourceArchive>();
    if (!archivePath.empty() && !appContext.archive->open(archivePath))
        throw ToolError(arguments.archive + " holds no container");
    setTheArchive(appContext.archive.get());
    appContext.fullScreen = arguments.fullScreen;
    startWindowAndScript();
    removeExtractedMoviesOnSignals();
    runFrameLoop();
    runShutdown();
}

} // namespace

void addPlayCommand(CLI::App& app)
{
    auto arguments = std::make_shared<PlayArguments>();
    CLI::App* command = app.add_subcommand("play", "Play a demo in a window, without the start-up question.");
    command->footer("ARCHIVE is a container (.cfl) or a one-file demo; without it the demo is the loose\n"
                    "files in DIR. Loose files in DIR take precedence as in demoplayer. Escape or closing\n"
                    "the window ends it.");
    command->add_option("ARCHIVE", arguments->archive, "Container or one-file demo to play");
    command->add_option("-C,--directory", arguments->directory, "Folder the demo runs in (default: here)");
    auto* windowed = command->add_flag("--windowed", arguments->windowed, "An 800 x 600 window (default)");
    command->add_flag("--fullscreen", arguments->fullScreen, "A borderless window covering the screen")
        ->excludes(windowed);
    command->callback([arguments] { runPlayCommand(*arguments); });
}
