#include "video/ffmpeg_error.h"

extern "C" {
#include <libavutil/error.h>
}

std::string ffmpegErrorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}
