// Every demotool subcommand adds itself to the application through one function here;
// main calls each once. A new subcommand is one declaration and one call.
#pragma once

namespace CLI {
class App;
}

void addPackCommand(CLI::App& app);
void addListCommand(CLI::App& app);
void addExtractCommand(CLI::App& app);
void addAppendCommand(CLI::App& app);
void addCaptureCommand(CLI::App& app);
void addPlayCommand(CLI::App& app);
void addTraceCommand(CLI::App& app);
void addPskCommand(CLI::App& app);

// Parses the command line and runs the chosen subcommand; returns the process exit code:
// 0 on success, 1 on bad input (ToolError), 2 on a usage error.
int runDemotool(CLI::App& app, int argc, char** argv);
