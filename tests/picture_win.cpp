#include "picture_win.h"

std::vector<uint32_t> PixelsOf(IDirect3DSurface9* surface) {
    std::vector<uint32_t> pixels;
    D3DSURFACE_DESC size{};
    D3DLOCKED_RECT locked{};
    if (surface->GetDesc(&size) != S_OK ||
        surface->LockRect(&locked, nullptr, D3DLOCK_READONLY) != S_OK) {
        return pixels;
    }
    for (UINT y = 0; y < size.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) +
                                                            y * locked.Pitch);
        pixels.insert(pixels.end(), row, row + size.Width);
    }
    surface->UnlockRect();
    return pixels;
}

std::vector<uint32_t> DrawnPicture(IDirect3DDevice9* device, const std::function<void()>& draw) {
    std::vector<uint32_t> pixels;
    IDirect3DSurface9* target = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* copy = nullptr;
    if (device->CreateRenderTarget(pictureWidth, pictureHeight, D3DFMT_A8R8G8B8,
                                   D3DMULTISAMPLE_NONE, 0, FALSE, &target, nullptr) == S_OK &&
        device->GetRenderTarget(0, &backBuffer) == S_OK &&
        device->CreateOffscreenPlainSurface(pictureWidth, pictureHeight, D3DFMT_A8R8G8B8,
                                            D3DPOOL_SYSTEMMEM, &copy, nullptr) == S_OK) {
        device->SetRenderTarget(0, target);
        draw();
        device->SetRenderTarget(0, backBuffer);
        if (device->GetRenderTargetData(target, copy) == S_OK) pixels = PixelsOf(copy);
    }
    for (IDirect3DSurface9* surface : {copy, backBuffer, target}) {
        if (surface) surface->Release();
    }
    return pixels;
}
