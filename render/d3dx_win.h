#pragma once

#include <windows.h>
#include <d3dx9.h>

// The eight D3DX 9 calls the scene makes. D3DX comes with the DirectX
// end-user runtime, which a fresh Windows does not have: the table holds the
// runtime's functions when its d3dx9_43.dll is in the system folder, and the
// program's own stand-ins otherwise. Nothing outside this table knows which.
struct D3dxFunctions {
    HMODULE module = nullptr;  // the runtime's DLL; null with the stand-ins
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

// Fills d3dx, once: the runtime's functions when d3dx9_43.dll loads from the
// system folder (never from the program's folder or the working directory,
// where anyone could have put a file of that name) with all eight entry
// points, the stand-ins otherwise.
void LoadD3dx();

// Whether d3dx has been filled.
bool D3dxReady();

// The program's own functions for the eight calls, built on what every
// Windows since Vista has (GDI, the Windows Imaging Component, Direct3D 9).
D3dxFunctions D3dxStandIns();

// Frees the runtime's DLL, if loaded, and empties the table; only once every
// object made through it has been released.
void FreeD3dx();
