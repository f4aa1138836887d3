#pragma once

class QCoreApplication;

namespace velmora::app {

// Puts Qt's own texts (the file dialog, the buttons of message boxes, context menus) and its
// dates and numbers into Spanish, whatever language the system is set to: the people who use
// Velmora read Spanish. The translation comes with Qt (Debian's qt6-translations-l10n, or the
// translations folder beside a deployed program); without it Qt's texts stay in English and
// false is returned.
bool useQtSpanishTranslation(QCoreApplication& application);

} // namespace velmora::app
