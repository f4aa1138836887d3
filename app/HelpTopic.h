#pragma once

#include <QString>
#include <QUrl>

namespace velmora::app {

// Where the help opens for one window: the topic's context number in the compiled help file
// (SAUCE.chm), and its page of the guide built into the program.
struct HelpTopic {
    int context;
    QString guidePage;
};

// The property that gives a control its help context number; F1 uses the nearest one set
// from the focused control outwards.
inline constexpr const char* helpContextProperty = "helpContext";

// The guide's pages live in the program's resources.
inline QUrl guidePageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc:/guia/") + page);
}

inline const QString guideContentsPage = QStringLiteral("index.html");

inline const HelpTopic mainWindowHelp{3, QStringLiteral("ventana.html")};
inline const HelpTopic frameDialogHelp{3, QStringLiteral("marcos.html")};

} // namespace velmora::app
