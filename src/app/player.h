// The player's life: start-up in its fixed order, the frame loop, shutdown in reverse.
#pragma once

// Steps 1-9 of start-up with the question and a real window.
void runStartup();

// Step 1: the module instance the window class is registered for.
void storeModuleInstance();

// Start-up once the archive is open and the display mode chosen: the window, the cursor, then
// as startDeviceAndScript (demotool play starts here, without the question).
void startWindowAndScript();

// Start-up after the window exists: the Direct3D device, the Scripter with "demo.psc", the clock.
void startDeviceAndScript();

// One pass of the frame loop: at most one message, clear, update, present.
void runFrame();

// Frames until quitRequested.
void runFrameLoop();

// Tears everything down in order; returns the exit code (0).
int runShutdown();

// The whole program.
int runPlayer();
