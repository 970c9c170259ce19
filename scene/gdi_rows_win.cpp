#include "scene/gdi_rows_win.h"

#include "common/check_state.h"
#include "drawkit/text_font_win.h"
#include "scene/overlay.h"

namespace {

// ARGB as GDI's 0x00BBGGRR.
COLORREF GdiColour(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace

void DrawRowsWithGdi(HDC context, const RECT& client, float movingAverage) {
    HBRUSH background = CreateSolidBrush(GdiColour(backgroundColour));
    if (background) {
        FillRect(context, &client, background);
        DeleteObject(background);
    }
    HFONT fonts[rowFaceCount] = {};
    HGDIOBJ previousFont = GetCurrentObject(context, OBJ_FONT);
    int previousMode = SetBkMode(context, TRANSPARENT);
    OverlayTexts texts;
    texts.movingAverage = movingAverage;
    for (const OverlayRow& row : overlayRows) {
        OverlayDraw draw = PrepareOverlayRow(row, texts, checkState);
        HFONT& font = fonts[row.font];
        const RowFace& face = rowFaces[row.font];
        if (!font) font = CreateAntialiasedFont(face.face, face.height, rowFontWeight);
        if (!font) continue;
        SelectObject(context, font);
        SetTextColor(context, GdiColour(draw.colour));
        RECT rect = client;
        rect.top = row.top;
        DrawTextW(context, draw.text, -1, &rect, row.format);
    }
    SetBkMode(context, previousMode);
    SelectObject(context, previousFont);
    for (HFONT font : fonts) {
        if (font) DeleteObject(font);
    }
}

void PaintRowsWithGdi(HWND window, float movingAverage) {
    PAINTSTRUCT paint{};
    HDC context = BeginPaint(window, &paint);
    if (!context) return;
    RECT client{};
    GetClientRect(window, &client);
    DrawRowsWithGdi(context, client, movingAverage);
    EndPaint(window, &paint);
}
