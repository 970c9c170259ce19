#pragma once

// Faults of a broken driver, planted in every Direct3D 9 device of the
// process until taken back. A device's methods are shared by all devices:
// one device is enough to reach them.

// No vertex buffer can be made, as on a driver out of video memory.
void RefuseVertexBuffers(void* device);
void AllowVertexBuffers();

// The device's capabilities tell textures of no size at all: no font can
// be made on it.
void TellNoTextureSize(void* device);
void TellTextureSizes();
