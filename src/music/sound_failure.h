// How the music player ends the process when the sound library fails.
#pragma once

#include <string>

// The caption of every sound-library failure after the version check.
inline constexpr const char* kSoundErrorCaption = "VE3Vazaru Error";

// Shows the library's last error under kSoundErrorCaption, shuts the library down and ends
// the process with exit code 0, without any other teardown.
[[noreturn]] void failWithSoundError();
