// A "d3dx9_43.dll" beside the Windows tests, as one might lie in a Downloads
// folder: it has none of D3DX's entry points, and the program must load
// the system's (or none) instead.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
