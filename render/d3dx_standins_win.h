#pragma once

#include <windows.h>
#include <d3dx9.h>

// The stand-ins for D3DX's font and texture creation (render/d3dx_win.h
// chooses them when the runtime is missing). They take D3DX's parameters.

// A font drawn with GDI's glyphs as alpha-blended textured quads. It keeps
// the face, height, width, weight, italic and charset it was made with
// (GDI's greyscale antialiasing; mip levels, precision and quality are not
// used). DrawTextW lays a text out as DrawText does (left, centred or ending
// at the rectangle's right edge; from its top, or for one line centred or at
// its bottom; lines broken only at line feeds, and not at all with
// DT_SINGLELINE; clipped to the rectangle unless DT_NOCLIP; DT_CALCRECT
// measures without drawing) and ignores a sprite. Every device state it
// changes to draw is put back before it returns. GetDevice, GetDescW,
// GetTextMetricsW, GetDC, OnLostDevice and OnResetDevice work; the other
// methods answer E_NOTIMPL, FALSE or 0.
HRESULT WINAPI CreateStandInFont(IDirect3DDevice9* device, INT height, UINT width, UINT weight,
                                 UINT mipLevels, BOOL italic, DWORD charset, DWORD precision,
                                 DWORD quality, DWORD pitchAndFamily, const WCHAR* face,
                                 ID3DXFont** font);

// A texture read from an image file with the Windows Imaging Component, of
// the file's size (width and height 0 or D3DX_DEFAULT; any other size is
// refused), with the mip levels asked for (0 or D3DX_DEFAULT: the whole
// chain) each box-filtered from the one above, in D3DFMT_X8R8G8B8 or
// D3DFMT_A8R8G8B8 and the pool asked for. The filters and the colour key
// are not used; the image information and palette are not filled. Fails,
// leaving *texture null, when the file is missing or cannot be decoded.
HRESULT WINAPI CreateStandInTexture(IDirect3DDevice9* device, const WCHAR* file, UINT width,
                                    UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                    D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                    D3DCOLOR colourKey, D3DXIMAGE_INFO* information,
                                    PALETTEENTRY* palette, IDirect3DTexture9** texture);
