#pragma once

#include <windows.h>
#include <d3d9.h>

// A texture read from an image file with the Windows Imaging Component: of
// the file's size, in D3DFMT_X8R8G8B8 in the managed pool, with mipLevels
// levels (fewer when the image is smaller; 0 for the whole chain), each
// box-filtered from the one above. Fails, leaving *texture null, when the
// file is missing or cannot be decoded. Joins the calling thread to COM's
// multithreaded apartment for the decoding, unless it is in a
// single-threaded one already.
HRESULT CreateTextureFromImageFile(IDirect3DDevice9* device, const wchar_t* file, UINT mipLevels,
                                   IDirect3DTexture9** texture);
