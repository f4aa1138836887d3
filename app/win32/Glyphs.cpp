#include "app/win32/Glyphs.h"

#include <cstdint>
#include <vector>

namespace velmora::app::win32 {

namespace {

// Each pixel of the glyph is drawn as this many by this many pixels and averaged, which smooths
// the strokes as GDI alone does not.
constexpr int kOversampling = 4;

struct Stroke {
    std::vector<POINT> points; // on a 16 by 16 grid, in hundredths of a pixel
    int widthHundredths;
};

// A 32-bit bitmap of side by side pixels that GDI draws into and the code reads back.
struct Canvas {
    Bitmap bitmap;
    std::uint32_t* pixels = nullptr;
};

Canvas makeCanvas(HDC dc, int side) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Canvas canvas;
    canvas.bitmap = Bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    canvas.pixels = static_cast<std::uint32_t*>(bits);
    return canvas;
}

// How much of each pixel of a side by side glyph the strokes cover, from 0 to 255.
std::vector<int> strokeCoverage(const std::vector<Stroke>& strokes, int side) {
    const int big = side * kOversampling;
    const ScreenDc screen;
    HDC dc = CreateCompatibleDC(screen.get());
    Canvas canvas = makeCanvas(dc, big);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas.bitmap.get());
    for (const Stroke& stroke : strokes) {
        LOGBRUSH white{BS_SOLID, RGB(255, 255, 255), 0};
        const DWORD width = DWORD(stroke.widthHundredths * big / 1600);
        GdiObject<HPEN> pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                         width, &white, 0, nullptr));
        HGDIOBJ oldPen = SelectObject(dc, pen.get());
        std::vector<POINT> scaled;
        for (const POINT& p : stroke.points) {
            scaled.push_back({p.x * big / 1600, p.y * big / 1600});
        }
        Polyline(dc, scaled.data(), int(scaled.size()));
        SelectObject(dc, oldPen);
    }
    GdiFlush();
    std::vector<int> coverage(std::size_t(side * side), 0);
    for (int y = 0; y < big; ++y) {
        for (int x = 0; x < big; ++x) {
            coverage[std::size_t((y / kOversampling) * side + x / kOversampling)] +=
                int(canvas.pixels[y * big + x] & 0xFF);
        }
    }
    for (int& c : coverage) {
        c /= kOversampling * kOversampling;
    }
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return coverage;
}

Icon glyph(const Scale& scale, const std::vector<Stroke>& strokes, COLORREF colour) {
    const int side = scale.px(16);
    const std::vector<int> coverage = strokeCoverage(strokes, side);
    const ScreenDc screen;
    Canvas colourBitmap = makeCanvas(screen.get(), side);
    for (int i = 0; i < side * side; ++i) {
        const auto alpha = std::uint32_t(coverage[std::size_t(i)]);
        colourBitmap.pixels[i] = alpha << 24 | std::uint32_t(GetRValue(colour)) << 16 |
                                 std::uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
    }
    // With an alpha channel in the colour bitmap the mask only has to exist.
    Bitmap mask(CreateBitmap(side, side, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), colourBitmap.bitmap.get()};
    return Icon(CreateIconIndirect(&info));
}

} // namespace

Icon checkMarkGlyph(const Scale& scale) {
    return glyph(scale, {{{{250, 850}, {600, 1200}, {1350, 350}}, 260}}, RGB(0x00, 0x80, 0x00));
}

Icon closeGlyph(const Scale& scale) {
    return glyph(scale, {{{{400, 400}, {1200, 1200}}, 240}, {{{1200, 400}, {400, 1200}}, 240}},
                 RGB(0x30, 0x30, 0x30));
}

} // namespace velmora::app::win32
