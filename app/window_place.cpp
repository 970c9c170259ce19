#include "app/window_place.h"

#include <algorithm>

namespace {

// The side's position inside [low, high) for a window of length along it:
// preferred where it fits, else just inside, else at low.
int32_t Fit(int32_t preferred, int32_t length, int32_t low, int32_t high) {
    return std::max(low, std::min(preferred, high - length));
}

}  // namespace

float ScreenScale(int32_t scaledHeight, int32_t pixelHeight) {
    if (scaledHeight <= 0 || pixelHeight <= 0) return 1.0f;
    return static_cast<float>(pixelHeight) / static_cast<float>(scaledHeight);
}

bool NeedsScreenPixels(const ScreenBox& workArea, float scale) {
    const bool fits = workArea.right - workArea.left >= windowWidth &&
                      workArea.bottom - workArea.top >= windowHeight;
    return !fits && scale > 1.0f;
}

WindowPlace PlaceInside(const ScreenBox& area, int32_t x, int32_t y, int32_t width, int32_t height) {
    return {Fit(x, width, area.left, area.right), Fit(y, height, area.top, area.bottom)};
}

WindowPlace PlaceWindow(const ScreenBox& workArea) {
    return PlaceInside(workArea, windowLeft, windowTop, windowWidth, windowHeight);
}
