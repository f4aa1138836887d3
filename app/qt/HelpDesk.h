#pragma once

#include "app/qt/HelpWindow.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

class QWidget;

namespace velmora::app {

// The property that gives a control its help context number.
inline constexpr const char* helpContextProperty = "helpContext";

// The guide's pages live in the program's resources.
inline QUrl guidePageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc:/guia/") + page);
}

// Shows help the way the presenter asks for it: the compiled help file through the platform's
// HTML Help viewer, or the guide built into the program in a help window.
class HelpDesk {
public:
    // Starts a program on its own; false when it could not be started. Tests replace it so
    // that nothing is launched.
    using StartProgram = std::function<bool(const QString& program, const QStringList& arguments)>;
    static bool startDetached(const QString& program, const QStringList& arguments);

    explicit HelpDesk(StartProgram start = startDetached);

    // Opens helpFile at a context number, or at its table of contents for 0; false when the
    // viewer could not be started.
    bool showCompiledHelp(const QString& helpFile, int context);

    // Opens the guide at one of its pages, in a help window that belongs to from's window.
    void showGuide(QWidget* from, const QString& page);

    // The help window showing the guide, while it is open.
    HelpWindow* guideWindow() const { return guideWindow_; }

private:
    StartProgram start_;
    QPointer<HelpWindow> guideWindow_;
};

// Makes F1 in window call askForHelp.
void addHelpKey(QWidget* window, std::function<void()> askForHelp);

} // namespace velmora::app
