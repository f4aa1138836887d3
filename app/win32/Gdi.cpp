#include "app/win32/Gdi.h"

namespace velmora::app::win32 {

namespace {

TRIVERTEX vertex(LONG x, LONG y, COLORREF colour) {
    // GradientFill takes 16 bits per channel.
    return {x,
            y,
            COLOR16(GetRValue(colour) << 8),
            COLOR16(GetGValue(colour) << 8),
            COLOR16(GetBValue(colour) << 8),
            0};
}

} // namespace

Scale Scale::ofScreen() {
    const ScreenDc screen;
    return Scale(GetDeviceCaps(screen.get(), LOGPIXELSY));
}

Font makeFont(const Scale& scale, const wchar_t* face, int pixelHeight, FontStyle style) {
    LOGFONTW font{};
    // Negative: the height of the characters themselves, without the leading above them.
    font.lfHeight = -scale.px(pixelHeight);
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style.italic;
    font.lfUnderline = style.underline;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return Font(CreateFontIndirectW(&font));
}

Font boldVersionOf(HFONT base) {
    LOGFONTW font{};
    GetObjectW(base != nullptr ? base : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    return Font(CreateFontIndirectW(&font));
}

void fillVerticalGradient(HDC dc, const RECT& area, COLORREF start, COLORREF middle, COLORREF end) {
    const LONG halfway = area.top + (area.bottom - area.top) / 2;
    TRIVERTEX vertices[] = {vertex(area.left, area.top, start), vertex(area.right, halfway, middle),
                            vertex(area.left, halfway, middle),
                            vertex(area.right, area.bottom, end)};
    GRADIENT_RECT halves[] = {{0, 1}, {2, 3}};
    GradientFill(dc, vertices, 4, halves, 2, GRADIENT_FILL_RECT_V);
}

} // namespace velmora::app::win32
