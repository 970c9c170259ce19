#include "render/font_win.h"

#include "common/release_win.h"
#include "render/overlay.h"
#include "render/text_layout.h"

#include <algorithm>
#include <cwchar>
#include <new>
#include <string>
#include <string_view>
#include <vector>

static_assert(textRight == DT_RIGHT, "the layout reads DrawText's formats");
static_assert(textSingleLine == DT_SINGLELINE, "the layout reads DrawText's formats");
static_assert(textNoClip == DT_NOCLIP, "the layout reads DrawText's formats");

namespace {

// IID_ID3DXFont, {D79DBB70-5F21-4D36-BBC2-FF525C213CDC}.
constexpr GUID fontInterface = {0xd79dbb70, 0x5f21, 0x4d36,
                                {0xbb, 0xc2, 0xff, 0x52, 0x5c, 0x21, 0x3c, 0xdc}};

// A frame draws nine rows; the rest keeps the texts that changed lately.
constexpr std::size_t cachedTextCount = 16;
// Far wider than the back buffer: a longer line is drawn up to here.
constexpr uint32_t largestTextTexture = 2048;
constexpr MAT2 unturned = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
constexpr DWORD textVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
// Direct3D 9 puts pixel centres on whole coordinates: a quad moved half a
// pixel up and left samples each texel at its centre, one texel per pixel.
constexpr float texelCentre = 0.5f;
// The format bits that change a text's picture (the rest only place it).
constexpr uint32_t pictureFormat = textRight | textSingleLine;
constexpr uint32_t bitmapRowAlignment = 4;
// Room made when the font is made, so that drawing a new text of up to a
// line's length, with glyphs of up to 128 x 128 pixels, allocates nothing.
constexpr std::size_t reservedTextLength = 256;
constexpr std::size_t reservedGlyphBytes = 128 * 128;
// Where a character the row's face lacks is drawn from (GetGlyphOutlineW
// links no fonts): every Windows 10 and 11 has one of them, whatever its
// language, and both hold the Chinese of the rows.
constexpr const wchar_t* fallbackFaces[] = {L"微软雅黑", L"宋体"};
constexpr std::size_t faceCount = 1 + std::size(fallbackFaces);
constexpr WORD missingGlyph = 0xFFFF;  // GGI_MARK_NONEXISTING_GLYPHS's mark

struct TextVertex {
    float x;
    float y;
    float z;
    float rhw;
    D3DCOLOR colour;
    float u;
    float v;
};

// A GDI font selected into a memory context of its own, to read its glyphs.
struct GlyphFace {
    HFONT font = nullptr;
    HDC context = nullptr;
    HGDIOBJ previousFont = nullptr;
};

bool OpenFace(GlyphFace& face, const wchar_t* name, int32_t height) {
    face.font = CreateOverlayGdiFont(name, height);
    face.context = CreateCompatibleDC(nullptr);
    if (!face.font || !face.context) return false;
    face.previousFont = SelectObject(face.context, face.font);
    return true;
}

void CloseFace(GlyphFace& face) {
    if (face.context) {
        if (face.previousFont) SelectObject(face.context, face.previousFont);
        DeleteDC(face.context);
    }
    if (face.font) DeleteObject(face.font);
    face = GlyphFace{};
}

bool HasGlyph(const GlyphFace& face, wchar_t c) {
    WORD index = missingGlyph;
    return face.context &&
           GetGlyphIndicesW(face.context, &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           index != missingGlyph;
}

// A text drawn once into a texture of its own, kept while it is in use.
struct CachedText {
    std::wstring text;
    uint32_t format = 0;  // its picture bits
    IDirect3DTexture9* texture = nullptr;
    uint32_t textureWidth = 0;
    uint32_t textureHeight = 0;
    int32_t width = 0;  // the laid-out block of lines
    int32_t height = 0;
    uint64_t lastUse = 0;  // 0: free
};

// Everything the text drawing sets: recorded into state blocks, one holding
// these values and one that keeps the program's own, so each state is put
// back as it was.
void SetTextStates(IDirect3DDevice9* device) {
    const D3DRENDERSTATETYPE off[] = {
        D3DRS_SEPARATEALPHABLENDENABLE, D3DRS_ALPHATESTENABLE, D3DRS_ZENABLE,
        D3DRS_ZWRITEENABLE, D3DRS_STENCILENABLE, D3DRS_FOGENABLE, D3DRS_LIGHTING,
        D3DRS_SRGBWRITEENABLE, D3DRS_SCISSORTESTENABLE};
    for (D3DRENDERSTATETYPE state : off) device->SetRenderState(state, FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    // The glyph's coverage times the row's colour.
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE);
    device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    device->SetSamplerState(0, D3DSAMP_SRGBTEXTURE, FALSE);
    device->SetTexture(0, nullptr);
    device->SetFVF(textVertexFormat);
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
}

IDirect3DStateBlock9* RecordTextStates(IDirect3DDevice9* device) {
    if (FAILED(device->BeginStateBlock())) return nullptr;
    SetTextStates(device);
    IDirect3DStateBlock9* block = nullptr;
    if (FAILED(device->EndStateBlock(&block))) return nullptr;
    return block;
}

// Calls draw(line, index) for each line: the whole text with DT_SINGLELINE,
// else the parts between line feeds.
template <typename Draw>
void ForEachLine(std::wstring_view text, bool singleLine, Draw draw) {
    int32_t index = 0;
    while (true) {
        std::size_t end = singleLine ? std::wstring_view::npos : text.find(L'\n');
        draw(text.substr(0, end), index++);
        if (end == std::wstring_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

// Control characters (a carriage return, a tab) take no room and show nothing.
bool Shown(wchar_t c) { return c >= L' '; }

class TextFont final : public ID3DXFont {
public:
    explicit TextFont(IDirect3DDevice9* device) : device(device) { device->AddRef(); }

    ~TextFont() {
        for (CachedText& entry : cache) ReleaseObject(entry.texture);
        OnLostDevice();
        for (GlyphFace& face : faces) CloseFace(face);
        device->Release();
    }

    // The row's face and the faces behind it, at its height. A fallback that
    // cannot be made is left out; the row's own face must be there.
    bool Open(const wchar_t* face, int32_t height) {
        if (!OpenFace(faces[0], face, height)) return false;
        for (std::size_t i = 1; i < faceCount; ++i) {
            if (!OpenFace(faces[i], fallbackFaces[i - 1], height)) CloseFace(faces[i]);
        }
        if (!::GetTextMetricsW(faces[0].context, &metrics)) return false;
        margin = metrics.tmHeight / 2;
        for (CachedText& entry : cache) entry.text.reserve(reservedTextLength);
        glyphBits.reserve(reservedGlyphBytes);
        D3DCAPS9 caps{};
        if (SUCCEEDED(device->GetDeviceCaps(&caps))) {
            largestTexture = std::min({largestTexture, static_cast<uint32_t>(caps.MaxTextureWidth),
                                       static_cast<uint32_t>(caps.MaxTextureHeight)});
        }
        return largestTexture > 0;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (!out) return E_POINTER;
        if (!IsEqualGUID(id, IID_IUnknown) && !IsEqualGUID(id, fontInterface)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *out = this;
        return S_OK;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }

    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = InterlockedDecrement(&references);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescA(D3DXFONT_DESCA*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDescW(D3DXFONT_DESCW*) override { return E_NOTIMPL; }
    WINBOOL STDMETHODCALLTYPE GetTextMetricsA(TEXTMETRICA*) override { return FALSE; }
    WINBOOL STDMETHODCALLTYPE GetTextMetricsW(TEXTMETRICW*) override { return FALSE; }
    HDC STDMETHODCALLTYPE GetDC() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE GetGlyphData(UINT, IDirect3DTexture9**, RECT*, POINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE PreloadCharacters(UINT, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PreloadGlyphs(UINT, UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PreloadTextA(const char*, INT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PreloadTextW(const WCHAR*, INT) override { return E_NOTIMPL; }
    INT STDMETHODCALLTYPE DrawTextA(ID3DXSprite*, const char*, INT, RECT*, DWORD,
                                    D3DCOLOR) override {
        return 0;
    }

    // The height of the text, as DrawText answers; 0 when nothing could be drawn.
    INT STDMETHODCALLTYPE DrawTextW(ID3DXSprite*, const WCHAR* string, INT count, RECT* rect,
                                    DWORD format, D3DCOLOR colour) override {
        if (!string) return 0;
        std::wstring_view text(string, count < 0 ? std::wcslen(string) : std::size_t(count));
        if (text.empty()) return 0;
        try {
            const CachedText* entry = Find(text, format & pictureFormat);
            if (!entry) return 0;
            const TextBox area = rect ? TextBox{rect->left, rect->top, rect->right, rect->bottom}
                                      : TextBox{0, 0, 0, 0};
            const TextBox placed = PlaceText(area, entry->width, entry->height, format);
            bool clipped = rect && !(format & DT_NOCLIP);
            return Draw(*entry, placed, area, clipped, colour) ? entry->height : 0;
        } catch (const std::bad_alloc&) {
            return 0;
        }
    }

    // The state blocks go before a reset; the managed textures survive it.
    HRESULT STDMETHODCALLTYPE OnLostDevice() override {
        ReleaseObject(savedStates);
        ReleaseObject(textStates);
        return S_OK;
    }

    // The state blocks are recorded again by the next draw.
    HRESULT STDMETHODCALLTYPE OnResetDevice() override { return S_OK; }

private:
    const CachedText* Find(std::wstring_view text, uint32_t format) {
        CachedText* oldest = &cache[0];
        for (CachedText& entry : cache) {
            if (entry.lastUse != 0 && entry.format == format && entry.text == text) {
                entry.lastUse = ++uses;
                return &entry;
            }
            if (entry.lastUse < oldest->lastUse) oldest = &entry;
        }
        oldest->lastUse = 0;
        oldest->text.assign(text);
        oldest->format = format;
        if (!Rasterise(*oldest)) return nullptr;
        oldest->lastUse = ++uses;
        return oldest;
    }

    // The context of the face the character is drawn from: its advance and
    // its glyph both come from there.
    HDC FaceOf(wchar_t c) const {
        auto has = [&](std::size_t face) { return HasGlyph(faces[face], c); };
        return faces[FaceWithGlyph(faceCount, has)].context;
    }

    // The advance of a character; 0 for one GDI cannot measure.
    int32_t Advance(wchar_t c) {
        GLYPHMETRICS glyph{};
        if (!Shown(c) ||
            GetGlyphOutlineW(FaceOf(c), c, GGO_METRICS, &glyph, 0, nullptr, &unturned) == GDI_ERROR) {
            return 0;
        }
        return glyph.gmCellIncX;
    }

    int32_t LineWidth(std::wstring_view line) {
        int32_t width = 0;
        for (wchar_t c : line) width += Advance(c);
        return width;
    }

    // The texture is made again only when the text needs a larger one.
    bool Rasterise(CachedText& entry) {
        const bool singleLine = entry.format & textSingleLine;
        int32_t lines = 0;
        int32_t widest = 0;
        ForEachLine(entry.text, singleLine, [&](std::wstring_view line, int32_t) {
            widest = std::max(widest, LineWidth(line));
            ++lines;
        });
        entry.width = widest;
        entry.height = lines * metrics.tmHeight;
        uint32_t width = NextPowerOfTwo(std::min<uint32_t>(widest + 2 * margin, largestTexture));
        uint32_t height =
            NextPowerOfTwo(std::min<uint32_t>(entry.height + 2 * margin, largestTexture));
        if (!entry.texture || entry.textureWidth < width || entry.textureHeight < height) {
            ReleaseObject(entry.texture);
            if (FAILED(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                             &entry.texture, nullptr))) {
                entry.texture = nullptr;
                return false;
            }
            entry.textureWidth = width;
            entry.textureHeight = height;
        }
        D3DLOCKED_RECT locked{};
        if (FAILED(entry.texture->LockRect(0, &locked, nullptr, 0))) return false;
        TextImage image{static_cast<uint32_t*>(locked.pBits), entry.textureWidth,
                        entry.textureHeight, static_cast<uint32_t>(locked.Pitch) / 4};
        ClearTextImage(image);
        ForEachLine(entry.text, singleLine, [&](std::wstring_view line, int32_t index) {
            int32_t room = widest - LineWidth(line);
            int32_t left = entry.format & textRight ? room : 0;
            DrawLine(image, line, margin + left, margin + index * metrics.tmHeight + metrics.tmAscent);
        });
        entry.texture->UnlockRect(0);
        return true;
    }

    void DrawLine(TextImage& image, std::wstring_view line, int32_t pen, int32_t baseline) {
        for (wchar_t c : line) {
            if (!Shown(c)) continue;
            GLYPHMETRICS glyph{};
            HDC context = FaceOf(c);
            DWORD size = GetGlyphOutlineW(context, c, GGO_GRAY8_BITMAP, &glyph, 0, nullptr, &unturned);
            if (size == GDI_ERROR) continue;
            if (size > 0) {
                glyphBits.resize(size);
                if (GetGlyphOutlineW(context, c, GGO_GRAY8_BITMAP, &glyph, size, glyphBits.data(),
                                     &unturned) == GDI_ERROR) {
                    continue;
                }
                uint32_t rowBytes = (glyph.gmBlackBoxX + bitmapRowAlignment - 1) &
                                    ~(bitmapRowAlignment - 1);
                uint32_t rows = std::min<uint32_t>(glyph.gmBlackBoxY, size / std::max(rowBytes, 1u));
                CopyGlyph(image, {glyphBits.data(), glyph.gmBlackBoxX, rows, rowBytes},
                          pen + glyph.gmptGlyphOrigin.x, baseline - glyph.gmptGlyphOrigin.y);
            }
            pen += glyph.gmCellIncX;
        }
    }

    bool PrepareStateBlocks() {
        if (!savedStates) savedStates = RecordTextStates(device);
        if (!textStates) textStates = RecordTextStates(device);
        return savedStates && textStates;
    }

    bool Draw(const CachedText& entry, const TextBox& placed, const TextBox& area, bool clipped,
              D3DCOLOR colour) {
        if (!PrepareStateBlocks()) return false;
        const float left = static_cast<float>(placed.left - margin);
        const float top = static_cast<float>(placed.top - margin);
        TextQuad quad{left, top, left + entry.textureWidth, top + entry.textureHeight,
                      0.0f, 0.0f, 1.0f, 1.0f};
        if (clipped && !ClipQuad(quad, area)) return true;
        const float x0 = quad.left - texelCentre;
        const float y0 = quad.top - texelCentre;
        const float x1 = quad.right - texelCentre;
        const float y1 = quad.bottom - texelCentre;
        const TextVertex corners[4] = {
            {x0, y0, 0.0f, 1.0f, colour, quad.u0, quad.v0},
            {x1, y0, 0.0f, 1.0f, colour, quad.u1, quad.v0},
            {x0, y1, 0.0f, 1.0f, colour, quad.u0, quad.v1},
            {x1, y1, 0.0f, 1.0f, colour, quad.u1, quad.v1},
        };
        savedStates->Capture();
        textStates->Apply();
        device->SetTexture(0, entry.texture);
        device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corners, sizeof corners[0]);
        savedStates->Apply();
        return true;
    }

    LONG references = 1;
    IDirect3DDevice9* device;
    GlyphFace faces[faceCount];  // the row's own first
    TEXTMETRICW metrics{};  // the row's own face's
    int32_t margin = 0;  // room around the text for glyphs that reach past it
    uint32_t largestTexture = largestTextTexture;
    IDirect3DStateBlock9* savedStates = nullptr;
    IDirect3DStateBlock9* textStates = nullptr;
    CachedText cache[cachedTextCount];
    uint64_t uses = 0;
    std::vector<BYTE> glyphBits;
};

}  // namespace

HFONT CreateOverlayGdiFont(const wchar_t* face, int32_t height) {
    return CreateFontW(height, 0, 0, 0, overlayFontWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                       face);
}

HRESULT CreateOverlayFont(IDirect3DDevice9* device, const wchar_t* face, int32_t height,
                          ID3DXFont** font) {
    if (!font) return D3DERR_INVALIDCALL;
    *font = nullptr;
    if (!device || !face) return D3DERR_INVALIDCALL;
    TextFont* made = new (std::nothrow) TextFont(device);
    if (!made) return E_OUTOFMEMORY;
    bool opened = false;
    try {
        opened = made->Open(face, height);
    } catch (const std::bad_alloc&) {
        opened = false;
    }
    if (!opened) {
        made->Release();
        return E_FAIL;
    }
    *font = made;
    return S_OK;
}
