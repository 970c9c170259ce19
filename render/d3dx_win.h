#pragma once

#include <windows.h>
#include <d3dx9.h>

// D3DX 9 comes with the DirectX end-user runtime, not with every Windows: it
// is loaded at run time so that its absence fails InitDirect3D instead of
// stopping the program at load time. Only these entry points are used.
struct D3dxFunctions {
    HMODULE module = nullptr;
    decltype(&D3DXCreateFontW) createFont = nullptr;
    decltype(&D3DXCreateTextureFromFileExW) createTextureFromFile = nullptr;
    decltype(&D3DXMatrixRotationX) matrixRotationX = nullptr;
    decltype(&D3DXMatrixRotationY) matrixRotationY = nullptr;
    decltype(&D3DXMatrixRotationZ) matrixRotationZ = nullptr;
    decltype(&D3DXMatrixMultiply) matrixMultiply = nullptr;
    decltype(&D3DXMatrixLookAtLH) matrixLookAtLH = nullptr;
    decltype(&D3DXMatrixPerspectiveFovLH) matrixPerspectiveFovLH = nullptr;
};

extern D3dxFunctions d3dx;

// Loads the module and finds every entry point; false (and nothing loaded)
// when either is missing. Loading again while loaded does nothing.
bool LoadD3dx();

// Frees the module and clears the entry points; only once every D3DX object
// has been released.
void FreeD3dx();
