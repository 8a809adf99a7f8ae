// Library versions as one float, the form the version check compares: major + minor / 100,
// so SDL_mixer 2.6.x reads 2.06. Patch releases keep the interface and are not counted.
#pragma once

float soundVersionNumber(int major, int minor);

// The SDL_mixer this program was built against, and the one linked at run time.
float builtMixerVersion();
float linkedMixerVersion();
