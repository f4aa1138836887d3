#pragma once

#include "app/win32/Gdi.h"

namespace velmora::app::win32 {

// The glyphs the buttons show beside their captions, drawn at run time at the size the screen
// needs: the green check mark of the OK kind of button and the cross of the close kind.
Icon checkMarkGlyph(const Scale& scale);
Icon closeGlyph(const Scale& scale);

} // namespace velmora::app::win32
