#pragma once

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <vector>

constexpr int pictureWidth = 800;
constexpr int pictureHeight = 600;

// What draw() puts on the device, drawn into an 800 x 600 target set in the
// back buffer's place (a presented discarding back buffer holds nothing
// defined) and read back; the pixel at (x, y) is at y * 800 + x. Empty when
// the target cannot be made.
std::vector<uint32_t> DrawnPicture(IDirect3DDevice9* device, const std::function<void()>& draw);
