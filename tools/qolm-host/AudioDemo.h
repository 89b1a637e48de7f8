// The signal rendered when no input file is given: a logarithmic sine sweep
// from 20 Hz to 20 kHz, then a burst of white noise, at 48 kHz in stereo.
// Always the same samples (the noise comes from a fixed generator).
#pragma once

#include "AudioFile.h"

#include <cstdint>

namespace qhost {

class DemoSource : public AudioSource {
public:
    static constexpr int kRate = 48000;
    static constexpr double kSweepSeconds = 4.0;
    static constexpr double kGapSeconds = 0.25;
    static constexpr double kNoiseSeconds = 1.0;
    static constexpr double kLevel = 0.5;

    int channels() const override { return 2; }
    int sampleRate() const override { return kRate; }
    long long frames() const override;
    long long read(double* out, long long count) override;

private:
    double sample(long long frame, int channel);

    long long position = 0;
    uint32_t noise[2] = {0x12345678u, 0x9abcdef0u};
};

}  // namespace qhost
