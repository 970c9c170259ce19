#pragma once

// Releases a COM object if there is one and clears the pointer, so a second
// release does nothing.
template <typename Object>
void ReleaseObject(Object*& object) {
    if (!object) return;
    object->Release();
    object = nullptr;
}
