#include "drawkit/texture_win.h"

#include "drawkit/mip_chain.h"
#include "platform/release_win.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <new>

namespace {

// Larger than any texture a Direct3D 9 device takes; keeps the byte count
// of the decoded image far from overflowing.
constexpr UINT largestImageSide = 8192;
constexpr uint32_t opaqueAlpha = 0xFF000000;

struct ImageDecoder {
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;

    ~ImageDecoder() {
        ReleaseObject(converter);
        ReleaseObject(frame);
        ReleaseObject(decoder);
        ReleaseObject(factory);
    }
};

// The file's first frame as 32-bit ARGB texels (not premultiplied).
bool Decode(ImageDecoder& wic, const wchar_t* file, MipLevel& image) {
    UINT width = 0;
    UINT height = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, reinterpret_cast<void**>(&wic.factory))) ||
        FAILED(wic.factory->CreateDecoderFromFilename(file, nullptr, GENERIC_READ,
                                                      WICDecodeMetadataCacheOnDemand,
                                                      &wic.decoder)) ||
        FAILED(wic.decoder->GetFrame(0, &wic.frame)) ||
        FAILED(wic.factory->CreateFormatConverter(&wic.converter)) ||
        FAILED(wic.converter->Initialize(wic.frame, GUID_WICPixelFormat32bppBGRA,
                                         WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)) ||
        FAILED(wic.converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
        width > largestImageSide || height > largestImageSide) {
        return false;
    }
    image.width = width;
    image.height = height;
    image.texels.resize(static_cast<std::size_t>(width) * height);
    return SUCCEEDED(wic.converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                               reinterpret_cast<BYTE*>(image.texels.data())));
}

// The image loader needs COM on this thread: it joins the multithreaded
// apartment for the load (counted, and left again), and a thread already in
// a single-threaded apartment stays in it.
struct ComOnThread {
    HRESULT joined = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ComOnThread() {
        if (SUCCEEDED(joined)) CoUninitialize();
    }
};

bool DecodeImage(const wchar_t* file, MipLevel& image) {
    ComOnThread com;
    ImageDecoder wic;
    return Decode(wic, file, image);
}

bool FillLevel(IDirect3DTexture9* texture, UINT level, const MipLevel& image) {
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) return false;
    for (uint32_t y = 0; y < image.height; ++y) {
        std::memcpy(static_cast<char*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch,
                    image.texels.data() + static_cast<std::size_t>(y) * image.width,
                    image.width * sizeof(uint32_t));
    }
    texture->UnlockRect(level);
    return true;
}

// Made in full before the texture exists, so nothing can fail half way.
std::vector<MipLevel> MipChain(MipLevel image, UINT levels) {
    std::vector<MipLevel> chain;
    chain.push_back(std::move(image));
    while (chain.size() < levels) chain.push_back(HalveLevel(chain.back()));
    return chain;
}

HRESULT CreateTexture(IDirect3DDevice9* device, const wchar_t* file, UINT mipLevels,
                      IDirect3DTexture9** texture) {
    MipLevel image;
    if (!DecodeImage(file, image)) return E_FAIL;
    for (uint32_t& texel : image.texels) texel |= opaqueAlpha;
    UINT levels = MipLevelCount(image.width, image.height, mipLevels);
    const std::vector<MipLevel> chain = MipChain(std::move(image), levels);
    IDirect3DTexture9* made = nullptr;
    HRESULT result = device->CreateTexture(chain[0].width, chain[0].height, levels, 0,
                                           D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &made, nullptr);
    if (FAILED(result)) return result;
    for (UINT level = 0; level < levels; ++level) {
        if (!FillLevel(made, level, chain[level])) {
            made->Release();
            return E_FAIL;
        }
    }
    *texture = made;
    return S_OK;
}

}  // namespace

// A lack of memory for the image is a failed load, not an exception.
HRESULT CreateTextureFromImageFile(IDirect3DDevice9* device, const wchar_t* file, UINT mipLevels,
                                   IDirect3DTexture9** texture) {
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (!device || !file) return D3DERR_INVALIDCALL;
    try {
        return CreateTexture(device, file, mipLevels, texture);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
