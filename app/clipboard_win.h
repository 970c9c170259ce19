#pragma once

#include <windows.h>

#include <string>

// Puts text on the clipboard as Unicode text (CF_UNICODETEXT). A clipboard
// another program holds open is tried again for a few tens of milliseconds,
// then given up: false, nothing shown, nothing changed.
bool CopyToClipboard(HWND window, const std::wstring& text);
