#include "framework/ZHistory.h"

#include <cfloat>
#include <cmath>
#include <new>

namespace VRAX {

namespace {

void storeWhole(double* place, double value) {
    std::atomic_ref<double>(*place).store(value, std::memory_order_relaxed);
}

double loadWhole(double* place) { return std::atomic_ref<double>(*place).load(std::memory_order_relaxed); }

}  // namespace

ZHistory::~ZHistory() { release(); }

void ZHistory::release() {
    delete[] min1;
    delete[] max1;
    delete[] min2;
    delete[] max2;
    min1 = max1 = min2 = max2 = nullptr;
    capacity = 0;
}

bool ZHistory::setSize(int32_t columns, double p, double q) {
    release();
    if (columns > 0) {
        min1 = new (std::nothrow) double[static_cast<size_t>(columns)]();
        max1 = new (std::nothrow) double[static_cast<size_t>(columns)]();
        min2 = new (std::nothrow) double[static_cast<size_t>(columns)]();
        max2 = new (std::nothrow) double[static_cast<size_t>(columns)]();
        if (!min1 || !max1 || !min2 || !max2)
            release();
        else
            capacity = columns;
    }
    samplesPerColumn = 1;
    if (capacity > 0) {
        const double span = std::floor(p * q / capacity);
        if (span >= 1.0) samplesPerColumn = span < 2147483647.0 ? static_cast<int32_t>(span) : 2147483647;
    }
    clear();
    return capacity > 0;
}

void ZHistory::clear() {
    for (int32_t i = 0; i < capacity; ++i) {
        storeWhole(&min1[i], 0.0);
        storeWhole(&max1[i], 0.0);
        storeWhole(&min2[i], 0.0);
        storeWhole(&max2[i], 0.0);
    }
    writeIndex.store(0, std::memory_order_relaxed);
    sampleCount = 0;
    restartExtremes(DBL_MAX);
    // Displays redraw what is now an empty history.
    version.fetch_add(1, std::memory_order_release);
}

void ZHistory::restartExtremes(double limit) {
    runMin1 = runMin2 = limit;
    runMax1 = runMax2 = -limit;
}

void ZHistory::write(double signal1, double signal2) {
    if (capacity <= 0) return;
    if (signal1 < runMin1) runMin1 = signal1;
    if (signal1 > runMax1) runMax1 = signal1;
    if (signal2 < runMin2) runMin2 = signal2;
    if (signal2 > runMax2) runMax2 = signal2;
    if (++sampleCount < samplesPerColumn) return;
    const int32_t index = writeIndex.load(std::memory_order_relaxed);
    storeWhole(&min1[index], runMin1);
    storeWhole(&max1[index], runMax1);
    storeWhole(&min2[index], runMin2);
    storeWhole(&max2[index], runMax2);
    writeIndex.store(index + 1 < capacity ? index + 1 : 0, std::memory_order_release);
    version.fetch_add(1, std::memory_order_release);
    sampleCount = 0;
    // Later columns restart from the largest single-precision value.
    restartExtremes(static_cast<double>(FLT_MAX));
}

ZHistory::Column ZHistory::getColumn(int32_t i) const {
    Column column;
    if (i < 0 || i >= capacity) return column;
    int32_t index = writeIndex.load(std::memory_order_acquire) - i - 1;
    if (index < 0) index += capacity;
    column.min1 = loadWhole(&min1[index]);
    column.max1 = loadWhole(&max1[index]);
    column.min2 = loadWhole(&min2[index]);
    column.max2 = loadWhole(&max2[index]);
    return column;
}

}  // namespace VRAX
