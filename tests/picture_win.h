#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>
#include <functional>
#include <vector>

constexpr int pictureWidth = 800;
constexpr int pictureHeight = 600;

// A lockable 32-bit surface's pixels, row after row; empty when it cannot be
// read.
std::vector<uint32_t> PixelsOf(IDirect3DSurface9* surface);

// What draw() puts on the device, drawn into an 800 x 600 target set in the
// back buffer's place (a presented discarding back buffer holds nothing
// defined) and read back; the pixel at (x, y) is at y * 800 + x. Empty when
// the target cannot be made.
std::vector<uint32_t> DrawnPicture(IDirect3DDevice9* device, const std::function<void()>& draw);

// The text drawn by font in white on black.
std::vector<uint32_t> DrawnText(IDirect3DDevice9* device, ID3DXFont* font, const wchar_t* text,
                                RECT rect, DWORD format);

// The bounds of the ink (a pixel's red well above the black) in a picture:
// from the first to the last column and row with ink (right -1 when none).
struct Ink {
    int left = pictureWidth;
    int top = pictureHeight;
    int right = -1;
    int bottom = -1;
};
Ink InkOf(const std::vector<uint32_t>& pixels);
