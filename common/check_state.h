#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The newest value sits at the back; pushing onto a full queue drops the
// oldest. Fixed storage, so a frame never allocates.
template <typename T, std::size_t Capacity>
struct BoundedQueue {
    T items[Capacity] = {};
    std::size_t first = 0;
    std::size_t count = 0;

    std::size_t size() const { return count; }
    const T& operator[](std::size_t i) const { return items[(first + i) % Capacity]; }
    void push_back(T value) {
        if (count == Capacity) pop_front();
        items[(first + count) % Capacity] = value;
        ++count;
    }
    void pop_front() {
        if (count == 0) return;
        first = (first + 1) % Capacity;
        --count;
    }
};

struct FpsCounter {
    int32_t frames = 0;
    float nowSeconds = 0.0f;
    float lastSeconds = 0.0f;
    float fps = 0.0f;
};

// Counts frames as FpsCounter does, on a counter of its own.
struct FpsMovingAverage {
    FpsCounter counter;
    uint32_t readings = 0;
    BoundedQueue<float, 6> window;
};

struct FrameBatchAverage {
    int32_t frames = 0;
    double batchMilliseconds = 0.0;
    BoundedQueue<double, 5> batches;
    double average = 0.0;
};

// Room for "当前显卡型号：" and a converted adapter description; the finished
// line is cut to adapterLineLimit characters, terminator included.
constexpr std::size_t adapterLineCapacity = 160;
constexpr std::size_t adapterLineLimit = 60;

// The one record of results, written at start-up and per frame, read by the
// overlay.
struct CheckState {
    bool canRunGame = true;
    // No Direct3D 9 device: no frame can be measured, the verdict is negative
    // and the window shows the report. Recorded by InitDirect3D alone.
    bool deviceMissing = false;
    float cpuScore = 0.0f;
    std::wstring cpuLine;
    std::wstring osLine;
    std::wstring memoryLine;
    wchar_t adapterLine[adapterLineCapacity] = {};
    FpsCounter fpsCounter;
    FpsMovingAverage fpsMovingAverage;
    FrameBatchAverage frameBatchAverage;
};

extern CheckState checkState;
