#include "dsp/BiquadSection.h"

#include "framework/DetMath.h"

namespace VRAX {

void BiquadSection::setSampleRate(double rate) {
    sampleRate = rate;
    nyquist = rate * 0.5;
    kind = 0;
    b0 = 1.0;
    b1 = 0.0;
    b2 = 0.0;
    a1 = 0.0;
    a2 = 0.0;
    lastCutOff = 0.0;
    lastRes = 0.0;
    clear();
}

void BiquadSection::clear() {
    outLeft = 0.0;
    outRight = 0.0;
    x1L = x2L = y1L = y2L = 0.0;
    x1R = x2R = y1R = y2R = 0.0;
}

void BiquadSection::setHighPass(double cutOff, double res) {
    // Glides call this every few samples; most calls change nothing.
    if (kind == 1 && cutOff == lastCutOff && res == lastRes) {
        return;
    }
    double fc = cutOff;
    if (fc < 0.0) {
        fc = 0.0;
    } else if (fc > nyquist) {
        fc = nyquist;
    }

    // Bilinear transform of s^2 / (s^2 + d s + 1), pre-warped so that the
    // cut off lands where it was asked for.
    constexpr double pi = 3.141592653589793;
    const double t = detmath::tan(pi * fc / sampleRate);
    const double d = 1.4142135623730951 - 1.2142135623730952 * res;
    const double g = d * t;
    const double t2 = t * t;
    const double h = 1.0 / (t2 + g + 1.0);
    b0 = h;
    b1 = -2.0 * h;
    b2 = h;
    a1 = 2.0 * h * (t2 - 1.0);
    a2 = h * (t2 + 1.0 - g);

    kind = 1;
    lastCutOff = fc;
    lastRes = res;
}

}  // namespace VRAX
