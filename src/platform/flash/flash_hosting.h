// Control hosting for Flash movies. Nothing needs registering on this platform, so start-up
// and shutdown only mark whether host windows may create controls; a load outside them fails
// the way a missing hosting module would.
#pragma once

// Start and end nest; hosting is up while more starts than ends have run.
bool startFlashHosting();
void endFlashHosting();
bool flashHostingStarted();
