#pragma once

#include <windows.h>

#include <utility>

namespace velmora::app::win32 {

// Owns a GDI object (a font, a brush, a bitmap) and deletes it when it goes.
template <class Handle> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
        }
    }
    Handle get() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;

// Owns an icon made at run time.
class Icon {
public:
    Icon() = default;
    explicit Icon(HICON handle) : handle_(handle) {}
    Icon(Icon&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Icon& operator=(Icon&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    Icon(const Icon&) = delete;
    Icon& operator=(const Icon&) = delete;
    ~Icon() {
        if (handle_ != nullptr) {
            DestroyIcon(handle_);
        }
    }
    HICON get() const { return handle_; }

private:
    HICON handle_ = nullptr;
};

// A screen device context, released when it goes.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// The windows' geometry is given in pixels of a 96 DPI screen; on a denser screen every length
// grows in proportion, so that the windows keep their look and their texts still fit.
class Scale {
public:
    // The screen's DPI, as Windows gives it to a program that declares itself DPI aware.
    static Scale ofScreen();
    explicit Scale(int dpi) : dpi_(dpi) {}

    int px(int pixelsAt96) const { return MulDiv(pixelsAt96, dpi_, 96); }
    RECT rect(int left, int top, int width, int height) const {
        return {px(left), px(top), px(left) + px(width), px(top) + px(height)};
    }

private:
    int dpi_;
};

struct FontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// A font of the given face whose characters are pixelHeight pixels high (at 96 DPI).
Font makeFont(const Scale& scale, const wchar_t* face, int pixelHeight, FontStyle style = {});
// The same font as base, in bold.
Font boldVersionOf(HFONT base);

// Fills area from top to bottom with a gradient from start through middle to end, the middle
// colour halfway down.
void fillVerticalGradient(HDC dc, const RECT& area, COLORREF start, COLORREF middle, COLORREF end);

} // namespace velmora::app::win32
