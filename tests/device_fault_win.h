#pragma once

// Every Direct3D 9 device of the process refuses to make vertex buffers, as
// a driver out of video memory would, until AllowVertexBuffers. A device's
// methods are shared by all devices: one device is enough to reach them.
void RefuseVertexBuffers(void* device);
void AllowVertexBuffers();
