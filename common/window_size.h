#pragma once

#include <cstdint>

// The checker's window: 800 x 600 pixels outside, wherever it is placed. Its
// back buffer is as large, and Direct3D scales it onto the smaller client
// area; the rows are laid out in back-buffer pixels and the projection takes
// the same width over height.
constexpr int32_t windowWidth = 800;
constexpr int32_t windowHeight = 600;
constexpr float windowAspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
