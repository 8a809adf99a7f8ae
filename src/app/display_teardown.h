// Tearing down what start-up built for the display, shared by the normal shutdown and the
// start-up failure routine so both release in the same order: script, device, Direct3D, window.
#pragma once

// Destroys the Scripter (if any), releases the device and the Direct3D object, then destroys
// the window. showCursorAgain: the normal shutdown shows the cursor again in full-screen mode,
// between the device and the window; the failure routine does not.
void tearDownDisplay(bool showCursorAgain);

// Destroys the window (draining its messages) and unregisters the class; failures are reported only.
void destroyMainWindow();
