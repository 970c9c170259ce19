#pragma once

#include "drawkit/quad_drawer_win.h"

#include <windows.h>
#include <d3d9.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A GDI font of the weight, antialiased, in the default character set; null
// when GDI makes none.
HFONT CreateAntialiasedFont(const wchar_t* face, int32_t height, int32_t weight);

// Text on a Direct3D 9 device from GDI's glyphs: each text is rasterised once
// into a texture of its own (the texts in use are kept) and drawn as one
// alpha-blended quad. Draw lays a text out as GDI's DrawText does for
// these formats: from the top of the rectangle, at its left or ending at its
// right edge (DT_RIGHT); lines broken only at line feeds, and not at all with
// DT_SINGLELINE; clipped to the rectangle unless DT_NOCLIP. A character the
// font's face lacks is drawn from the first face behind it that has it, at
// the same height and weight.
class TextFont {
public:
    static constexpr std::size_t maxFaces = 4;

    // faces[0] is the font's own face, which must be there; the others, up
    // to maxFaces in all, stand behind it in order (one that cannot be made
    // is left out). Null when the font cannot be made. Holds a reference to
    // device.
    static TextFont* Create(IDirect3DDevice9* device, const wchar_t* const* faces,
                            std::size_t faceCount, int32_t height, int32_t weight);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // The height of the text drawn, as DrawText answers; 0 when nothing could
    // be drawn. Allocates nothing for a text it has drawn lately, nor for a
    // new one of up to a line's length.
    int32_t Draw(const wchar_t* text, const RECT& rect, uint32_t format, D3DCOLOR colour);

    // Before the device is reset: its state blocks go (the textures are
    // managed and survive); the next draw records them again.
    void OnLostDevice() { drawer.OnLostDevice(); }

private:
    // A GDI font selected into a memory context of its own, to read its glyphs.
    struct GlyphFace {
        HFONT font = nullptr;
        HDC context = nullptr;
        HGDIOBJ previousFont = nullptr;
    };

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

    // Room for the texts of a frame and for those that changed lately.
    static constexpr std::size_t cachedTextCount = 16;

    explicit TextFont(IDirect3DDevice9* device);
    bool Open(const wchar_t* const* faceNames, std::size_t count, int32_t height, int32_t weight);
    const CachedText* Find(std::wstring_view text, uint32_t format);
    HDC FaceOf(wchar_t c) const;
    int32_t Advance(wchar_t c);
    int32_t LineWidth(std::wstring_view line);
    bool Rasterise(CachedText& entry);
    void DrawLine(TextImage& image, std::wstring_view line, int32_t pen, int32_t baseline);

    IDirect3DDevice9* device;
    QuadDrawer drawer;
    GlyphFace faces[maxFaces];  // the font's own first
    std::size_t faceCount = 0;
    TEXTMETRICW metrics{};  // the font's own face's
    int32_t margin = 0;  // room around the text for glyphs that reach past it
    uint32_t largestTexture;
    CachedText cache[cachedTextCount];
    uint64_t uses = 0;
    std::vector<BYTE> glyphBits;
};
