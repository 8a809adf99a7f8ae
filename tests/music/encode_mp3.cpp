// MP3 files of test tones, through LAME at a high constant bit rate, with the tag that lets
// a decoder drop the encoder's delay and padding.
#include "test_tone.h"

#include <lame/lame.h>

std::vector<std::uint8_t> mp3File(int sampleRate, const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> out;
    lame_global_flags* lame = lame_init();
    if (!lame) return out;
    lame_set_num_channels(lame, 1);
    lame_set_in_samplerate(lame, sampleRate);
    lame_set_out_samplerate(lame, sampleRate);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 192);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) >= 0) {
        const int count = static_cast<int>(samples.size());
        std::vector<unsigned char> buffer(static_cast<std::size_t>(count) * 5 / 4 + 7200);
        std::vector<short> pcm(samples.begin(), samples.end());
        int written = lame_encode_buffer(lame, pcm.data(), pcm.data(), count, buffer.data(), static_cast<int>(buffer.size()));
        if (written >= 0) out.insert(out.end(), buffer.begin(), buffer.begin() + written);
        written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
        if (written >= 0) out.insert(out.end(), buffer.begin(), buffer.begin() + written);
        // The tag frame at the start carries the delay and padding; it is written last.
        std::vector<unsigned char> tag(8192);
        const std::size_t tagBytes = lame_get_lametag_frame(lame, tag.data(), tag.size());
        if (tagBytes > 0 && tagBytes <= out.size()) std::copy(tag.begin(), tag.begin() + static_cast<long>(tagBytes), out.begin());
    }
    lame_close(lame);
    return out;
}
