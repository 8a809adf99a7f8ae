// Start-up and shutdown of the sound library for the whole run.
#pragma once

// Checks the library's version, applies the fixed output settings, starts it and installs
// the MemoryFile callbacks. A library too old or failing to start ends the process.
void initSound();
// Shuts the library down once every music stream has been closed.
void closeSound();
