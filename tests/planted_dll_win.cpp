// A DLL as a web page might drop it into a Downloads folder, beside the
// program, under a name no system folder has: the system library loader must
// never find it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
