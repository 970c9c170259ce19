#include "app/clipboard_win.h"

#include <cstring>

namespace {

// Another program holds the clipboard for moments at a time; the check
// must not stall behind one that keeps it.
constexpr int openAttempts = 5;
constexpr DWORD attemptGapMilliseconds = 8;

bool OpenClipboardSoon(HWND window) {
    for (int attempt = 0; attempt < openAttempts; ++attempt) {
        if (attempt > 0) Sleep(attemptGapMilliseconds);
        if (OpenClipboard(window)) return true;
    }
    return false;
}

// A movable global copy of text with its terminator, as the clipboard takes
// it; null when there is no memory for it.
HGLOBAL GlobalCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, text.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

bool CopyToClipboard(HWND window, const std::wstring& text) {
    HGLOBAL memory = GlobalCopy(text);
    if (!memory) return false;
    if (!OpenClipboardSoon(window)) {
        GlobalFree(memory);
        return false;
    }
    // Once SetClipboardData takes the memory, the clipboard owns it.
    bool copied = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!copied) GlobalFree(memory);
    return copied;
}
