#include "drawkit/text_font_win.h"

#include "platform/release_win.h"

#include <algorithm>
#include <cwchar>
#include <new>

static_assert(textLeft == (DT_LEFT | DT_TOP), "the layout reads DrawText's formats");
static_assert(textRight == DT_RIGHT, "the layout reads DrawText's formats");
static_assert(textSingleLine == DT_SINGLELINE, "the layout reads DrawText's formats");
static_assert(textNoClip == DT_NOCLIP, "the layout reads DrawText's formats");

namespace {

// Far wider than a back buffer: a longer line is drawn up to here.
constexpr uint32_t largestTextTexture = 2048;
constexpr MAT2 unturned = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
// The format bits that change a text's picture (the rest only place it).
constexpr uint32_t pictureFormat = textRight | textSingleLine;
constexpr uint32_t bitmapRowAlignment = 4;
// Room made when the font is made, so that drawing a new text of up to a
// line's length, with glyphs of up to 128 x 128 pixels, allocates nothing.
constexpr std::size_t reservedTextLength = 256;
constexpr std::size_t reservedGlyphBytes = 128 * 128;
constexpr WORD missingGlyph = 0xFFFF;  // GGI_MARK_NONEXISTING_GLYPHS's mark

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

}  // namespace

HFONT CreateAntialiasedFont(const wchar_t* face, int32_t height, int32_t weight) {
    return CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                       face);
}

TextFont* TextFont::Create(IDirect3DDevice9* device, const wchar_t* const* faces,
                           std::size_t faceCount, int32_t height, int32_t weight) {
    if (!device || !faces || faceCount == 0 || !faces[0]) return nullptr;
    TextFont* made = new (std::nothrow) TextFont(device);
    if (!made) return nullptr;
    bool opened = false;
    try {
        opened = made->Open(faces, faceCount, height, weight);
    } catch (const std::bad_alloc&) {
        opened = false;
    }
    if (opened) return made;
    delete made;
    return nullptr;
}

TextFont::TextFont(IDirect3DDevice9* device)
    : device(device), drawer(device), largestTexture(largestTextTexture) {
    device->AddRef();
}

TextFont::~TextFont() {
    for (CachedText& entry : cache) ReleaseObject(entry.texture);
    drawer.OnLostDevice();
    for (GlyphFace& face : faces) {
        if (face.context) {
            if (face.previousFont) SelectObject(face.context, face.previousFont);
            DeleteDC(face.context);
        }
        if (face.font) DeleteObject(face.font);
    }
    device->Release();
}

bool TextFont::Open(const wchar_t* const* faceNames, std::size_t count, int32_t height,
                    int32_t weight) {
    for (std::size_t i = 0; i < std::min(count, maxFaces); ++i) {
        GlyphFace face;
        face.font = faceNames[i] ? CreateAntialiasedFont(faceNames[i], height, weight) : nullptr;
        face.context = face.font ? CreateCompatibleDC(nullptr) : nullptr;
        if (!face.context) {
            if (face.font) DeleteObject(face.font);
            if (i == 0) return false;
            continue;
        }
        face.previousFont = SelectObject(face.context, face.font);
        faces[faceCount++] = face;
    }
    if (!GetTextMetricsW(faces[0].context, &metrics)) return false;
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

int32_t TextFont::Draw(const wchar_t* string, const RECT& rect, uint32_t format,
                           D3DCOLOR colour) {
    if (!string) return 0;
    std::wstring_view text(string);
    if (text.empty()) return 0;
    try {
        const CachedText* entry = Find(text, format & pictureFormat);
        if (!entry) return 0;
        const TextBox area{rect.left, rect.top, rect.right, rect.bottom};
        const TextBox placed = PlaceText(area, entry->width, entry->height, format);
        const float left = static_cast<float>(placed.left - margin);
        const float top = static_cast<float>(placed.top - margin);
        TextQuad quad{left, top, left + entry->textureWidth, top + entry->textureHeight,
                      0.0f, 0.0f, 1.0f, 1.0f};
        if (!(format & textNoClip) && !ClipQuad(quad, area)) return entry->height;
        return drawer.Draw(entry->texture, quad, colour) ? entry->height : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

const TextFont::CachedText* TextFont::Find(std::wstring_view text, uint32_t format) {
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

// The context of the face the character is drawn from: its advance and its
// glyph both come from there.
HDC TextFont::FaceOf(wchar_t c) const {
    auto has = [&](std::size_t face) {
        WORD index = missingGlyph;
        return GetGlyphIndicesW(faces[face].context, &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) ==
                   1 &&
               index != missingGlyph;
    };
    return faces[FaceWithGlyph(faceCount, has)].context;
}

// The advance of a character; 0 for one GDI cannot measure.
int32_t TextFont::Advance(wchar_t c) {
    GLYPHMETRICS glyph{};
    if (!Shown(c) ||
        GetGlyphOutlineW(FaceOf(c), c, GGO_METRICS, &glyph, 0, nullptr, &unturned) == GDI_ERROR) {
        return 0;
    }
    return glyph.gmCellIncX;
}

int32_t TextFont::LineWidth(std::wstring_view line) {
    int32_t width = 0;
    for (wchar_t c : line) width += Advance(c);
    return width;
}

// The texture is made again only when the text needs a larger one.
bool TextFont::Rasterise(CachedText& entry) {
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
    uint32_t height = NextPowerOfTwo(std::min<uint32_t>(entry.height + 2 * margin, largestTexture));
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
    TextImage image{static_cast<uint32_t*>(locked.pBits), entry.textureWidth, entry.textureHeight,
                    static_cast<uint32_t>(locked.Pitch) / 4};
    ClearTextImage(image);
    ForEachLine(entry.text, singleLine, [&](std::wstring_view line, int32_t index) {
        int32_t room = widest - LineWidth(line);
        int32_t left = entry.format & textRight ? room : 0;
        DrawLine(image, line, margin + left, margin + index * metrics.tmHeight + metrics.tmAscent);
    });
    entry.texture->UnlockRect(0);
    return true;
}

void TextFont::DrawLine(TextImage& image, std::wstring_view line, int32_t pen, int32_t baseline) {
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
