#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstdint>

// The overlay's text: GDI's glyphs drawn as alpha-blended textured quads,
// behind the ID3DXFont interface the scene's fonts table holds. DrawTextW
// lays a text out as DrawText does for the rows' formats (from the top of the
// rectangle, at its left or ending at its right edge; lines broken only at
// line feeds, and not at all with DT_SINGLELINE; clipped to the rectangle
// unless DT_NOCLIP) and ignores a sprite. A character the face lacks is drawn
// from the first of "微软雅黑" and "宋体" that has it, at the same height
// and weight. Every device state it changes to draw is put back before it
// returns. OnLostDevice and OnResetDevice work; the other methods but
// DrawTextW answer E_NOTIMPL, FALSE or nothing.
HRESULT CreateOverlayFont(IDirect3DDevice9* device, const wchar_t* face, int32_t height,
                          ID3DXFont** font);

// A GDI font of the overlay's weight, antialiased, in the default character
// set; null when GDI makes none.
HFONT CreateOverlayGdiFont(const wchar_t* face, int32_t height);
