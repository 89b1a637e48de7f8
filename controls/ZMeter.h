// Displays of a value that the effect publishes as a feature and the audio
// thread keeps changing: a level bar, and frames of a strip image chosen by
// the value. They read the value whenever a drawing pass asks them.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

// A feature value read whole while the audio thread may be writing it.
double loadFeature(double* value);
int32_t loadFeature(int32_t* value);

// The frame of a strip of `count` frames at `position`: its integer part
// (towards zero) kept within 0 to count - 1; 0 for a position that is not a
// number.
int32_t clampedFrame(double position, int32_t count);
// The frame shown when there is no value to show: 0, or count - 1 when the
// strip has no frames (which then draws nothing).
inline int32_t frameWithoutValue(int32_t count) { return count <= 0 ? count - 1 : 0; }

class ZMeter : public ZEditorControl {
public:
    using ZEditorControl::ZEditorControl;
};

class ZBarFracMeter : public ZMeter {
public:
    // Orientation codes: which edge the bar grows from.
    enum Orientation : int32_t { kNone = 0, kLeftToRight = 1, kRightToLeft = 2, kTopToBottom = 3, kBottomToTop = 4 };

    ZBarFracMeter(const ControlPlacement& placement, double* value, int32_t orientation,
                  const unsigned char* colour);

    int32_t typeId() const override { return typeIdOf<ZBarFracMeter>(); }
    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // The feature value clamped to 0..1; 0 without a value.
    virtual double fraction();

    double* value;
    int32_t orientation;
    const unsigned char* colour;
    double lastValue = 0.0;
};

class ZImgFracMeter : public ZMeter {
public:
    ZImgFracMeter(const ControlPlacement& placement, double* value, ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // (frames - 1) * value, not rounded: the last frame only from 1.0.
    virtual int32_t frameIndex();

    double* value;
    ZFrameStrip strip;
};

class ZImgMeter : public ZMeter {
public:
    ZImgMeter(const ControlPlacement& placement, int32_t* value, double scale, double offset,
              ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    int32_t* value;
    double scale;
    double offset;
    ZFrameStrip strip;

private:
    int32_t currentFrame() const;
};

}  // namespace VRAX
