// FFmpeg's error codes as text for demotool's messages.
#pragma once

#include <string>

std::string ffmpegErrorText(int code);
