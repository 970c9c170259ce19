#include "app/taskbar_progress.h"

#include "common/verdict.h"
#include "stats/meters.h"

#include <algorithm>

namespace {
constexpr uint64_t measuredFrames = static_cast<uint64_t>(averagedBatches) * framesPerBatch;
}  // namespace

TaskbarProgress TaskbarProgressOf(const CheckState& state, float movingAverage) {
    const Status status = ChooseStatus(state, movingAverage);
    if (status != Status::Measuring) {
        return {measuredFrames, measuredFrames, status == Status::CannotRun};
    }
    const auto done = static_cast<uint64_t>(TimedFramesSoFar(state.frameBatchAverage));
    return {std::min(done, measuredFrames), measuredFrames, false};
}

bool operator==(const TaskbarProgress& a, const TaskbarProgress& b) {
    return a.done == b.done && a.total == b.total && a.error == b.error;
}
