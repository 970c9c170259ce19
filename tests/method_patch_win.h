#pragma once

#include <windows.h>

// Puts hook in a slot of the object's method table, keeping what was there.
// The table is shared by every object of the same kind, so the hook sees them
// all; patching a slot that already holds hook changes nothing.
template <typename Method>
void Patch(void* object, int slot, Method hook, Method& real) {
    void** entry = *static_cast<void***>(object) + slot;
    if (*entry == reinterpret_cast<void*>(hook)) return;
    DWORD protection = 0;
    VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &protection);
    real = reinterpret_cast<Method>(*entry);
    *entry = reinterpret_cast<void*>(hook);
    VirtualProtect(entry, sizeof *entry, protection, &protection);
}
