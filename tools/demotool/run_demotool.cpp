// Maps the outcome of a run to the exit code: help is success, CLI11's parse errors are usage
// errors, ToolError (and any other failure) is bad input, reported as one line.
#include "commands.h"
#include "tool_error.h"

#include <CLI/CLI.hpp>

#include <iostream>

int runDemotool(CLI::App& app, int argc, char** argv)
{
    app.require_subcommand(1);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        std::cerr << "demotool: " << error.what() << "\nRun with --help for usage.\n";
        return 2;
    } catch (const std::bad_alloc&) {
        std::cerr << "demotool: out of memory\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "demotool: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
