#include "app/HelpDesk.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QShortcut>

#include <utility>

namespace velmora::app {

namespace {

// The HTML Help viewer of every Windows.
const QString htmlHelpViewer = QStringLiteral("hh.exe");

int focusedHelpContext(int fallback) {
    for (const QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (const int context = widget->property(helpContextProperty).toInt(); context != 0) {
            return context;
        }
    }
    return fallback;
}

} // namespace

bool HelpDesk::startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

HelpDesk::HelpDesk(QString compiledHelpFile, StartProgram start)
    : compiledHelpFile_(std::move(compiledHelpFile)), start_(std::move(start)) {}

void HelpDesk::showTopic(QWidget* from, const HelpTopic& topic) {
    const QStringList arguments{QStringLiteral("-mapid"), QString::number(topic.context)};
    if (!showCompiledHelp(arguments)) {
        showGuide(from, topic.guidePage);
    }
}

void HelpDesk::showContents(QWidget* from) {
    if (!showCompiledHelp({})) {
        showGuide(from, guideContentsPage);
    }
}

bool HelpDesk::showCompiledHelp(const QStringList& topicArguments) {
    if (compiledHelpFile_.isEmpty() || !QFileInfo(compiledHelpFile_).isFile()) {
        return false;
    }
    return start_(htmlHelpViewer,
                  topicArguments + QStringList{QFileInfo(compiledHelpFile_).absoluteFilePath()});
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

void addHelpKey(QWidget* window, const HelpTopic& topic, std::shared_ptr<HelpDesk> desk) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    QObject::connect(key, &QShortcut::activated, window, [window, topic, desk] {
        desk->showTopic(window, {focusedHelpContext(topic.context), topic.guidePage});
    });
}

} // namespace velmora::app
