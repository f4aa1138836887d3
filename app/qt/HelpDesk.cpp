#include "app/qt/HelpDesk.h"

#include <QProcess>
#include <QShortcut>

#include <utility>

namespace velmora::app {

namespace {

// The HTML Help viewer of every Windows.
const QString htmlHelpViewer = QStringLiteral("hh.exe");

} // namespace

bool HelpDesk::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

HelpDesk::HelpDesk(StartProgram start) : start_(std::move(start)) {}

bool HelpDesk::showCompiledHelp(const QString& helpFile, int context) {
    QStringList arguments;
    if (context != 0) {
        arguments << QStringLiteral("-mapid") << QString::number(context);
    }
    return start_(htmlHelpViewer, arguments << helpFile);
}

void HelpDesk::showGuide(QWidget* from, const QString& page) {
    QWidget* owner = from != nullptr ? from->window() : nullptr;
    // A modal dialog blocks every window but its own, so the guide belongs to the window that
    // asked for it; asked from another window, a new one takes its place.
    if (guideWindow_ != nullptr && guideWindow_->parentWidget() != owner) {
        guideWindow_->close();
        guideWindow_ = nullptr; // it deletes itself once closed
    }
    if (guideWindow_ == nullptr) {
        guideWindow_ = new HelpWindow(owner);
    }
    guideWindow_->showPage(guidePageUrl(page));
    guideWindow_->show();
    guideWindow_->raise();
    guideWindow_->activateWindow();
}

void addHelpKey(QWidget* window, std::function<void()> askForHelp) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window, std::move(askForHelp));
}

} // namespace velmora::app
