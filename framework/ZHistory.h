// A scrolling envelope of two signals, published by an effect as a feature
// and drawn by the wave displays: a ring of `capacity` columns, each holding
// (minimum 1, maximum 1, minimum 2, maximum 2) over samplesPerColumn samples.
// The audio thread writes, the editor's window thread reads; every shared
// value moves as one whole word, and `version` tells readers that a column
// was completed.
#pragma once

#include <atomic>
#include <cstdint>

namespace VRAX {

class ZHistory {
public:
    struct Column {
        double min1 = 0.0;
        double max1 = 0.0;
        double min2 = 0.0;
        double max2 = 0.0;
    };

    ZHistory() = default;
    ~ZHistory();
    ZHistory(const ZHistory&) = delete;
    ZHistory& operator=(const ZHistory&) = delete;

    // Allocates `capacity` columns (not on the audio path); one column then
    // spans the integer part of p * q / capacity samples (at least 1), e.g.
    // p = sample rate and q = seconds shown. False when nothing could be
    // allocated; the history is then empty.
    bool setSize(int32_t capacity, double p, double q);
    // Empties every column and restarts the running extremes.
    void clear();

    // Audio thread: one sample of each signal.
    void write(double signal1, double signal2);

    // The i-th newest column (0 = newest); zeros outside 0..capacity-1.
    Column getColumn(int32_t i) const;
    int32_t getCapacity() const { return capacity; }
    int32_t getVersion() const { return version.load(std::memory_order_acquire); }
    int32_t getSamplesPerColumn() const { return samplesPerColumn; }

private:
    void release();
    void restartExtremes(double limit);

    double* min1 = nullptr;
    double* max1 = nullptr;
    double* min2 = nullptr;
    double* max2 = nullptr;
    int32_t capacity = 0;
    int32_t samplesPerColumn = 1;
    std::atomic<int32_t> writeIndex{0};
    std::atomic<int32_t> version{0};

    // Writer state, audio thread only.
    int32_t sampleCount = 0;
    double runMin1 = 0.0;
    double runMax1 = 0.0;
    double runMin2 = 0.0;
    double runMax2 = 0.0;
};

}  // namespace VRAX
