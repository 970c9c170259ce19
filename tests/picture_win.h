#pragma once

#include "common/window_size.h"

#include <windows.h>
#include <d3d9.h>

#include <cstdint>
#include <functional>
#include <vector>

constexpr int pictureWidth = windowWidth;
constexpr int pictureHeight = windowHeight;

// A lockable 32-bit surface's pixels, row after row; empty when unreadable.
std::vector<uint32_t> PixelsOf(IDirect3DSurface9* surface);

// What draw() puts on an 800 x 600 target set in the back buffer's place (a
// presented back buffer holds nothing defined); pixel (x, y) at y * 800 + x.
std::vector<uint32_t> DrawnPicture(IDirect3DDevice9* device, const std::function<void()>& draw);
