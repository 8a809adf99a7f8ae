// FLAC files of test tones, through libFLAC's stream encoder writing into memory.
#include "test_tone.h"

#include <FLAC/stream_encoder.h>

namespace {

FLAC__StreamEncoderWriteStatus collect(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t bytes, unsigned,
                                       unsigned, void* out)
{
    auto* bytesOut = static_cast<std::vector<std::uint8_t>*>(out);
    bytesOut->insert(bytesOut->end(), buffer, buffer + bytes);
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

} // namespace

std::vector<std::uint8_t> flacFile(int sampleRate, const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> out;
    FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
    if (!encoder) return out;
    FLAC__stream_encoder_set_channels(encoder, 1);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, static_cast<unsigned>(sampleRate));
    FLAC__stream_encoder_set_total_samples_estimate(encoder, samples.size());
    if (FLAC__stream_encoder_init_stream(encoder, collect, nullptr, nullptr, nullptr, &out) ==
        FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        std::vector<FLAC__int32> wide(samples.begin(), samples.end());
        FLAC__stream_encoder_process_interleaved(encoder, wide.data(), static_cast<unsigned>(wide.size()));
        FLAC__stream_encoder_finish(encoder);
    }
    FLAC__stream_encoder_delete(encoder);
    return out;
}
