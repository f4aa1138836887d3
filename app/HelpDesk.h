#pragma once

#include "app/HelpTopic.h"
#include "app/HelpWindow.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace velmora::app {

// Answers every request for help. Where the compiled help file is given and present (SAUCE.chm
// beside the program on Windows) the platform's HTML Help shows it at the topic's context
// number, as it always has; otherwise, or when HTML Help cannot be started, the guide built
// into the program opens in a help window at the topic's page.
class HelpDesk {
public:
    // Starts a program on its own; false when it could not be started. Tests replace it so
    // that nothing is launched.
    using StartProgram = std::function<bool(const QString& program, const QStringList& arguments)>;
    static bool startDetached(const QString& program, const QStringList& arguments);

    explicit HelpDesk(QString compiledHelpFile = {}, StartProgram start = startDetached);

    // from: the control or window the help is asked from; the help window belongs to its
    // window.
    void showTopic(QWidget* from, const HelpTopic& topic);
    void showContents(QWidget* from);

    // The help window showing the guide, while it is open.
    HelpWindow* guideWindow() const { return guideWindow_; }

private:
    bool showCompiledHelp(const QStringList& topicArguments);
    void showGuide(QWidget* from, const QString& page);

    QString compiledHelpFile_;
    StartProgram start_;
    QPointer<HelpWindow> guideWindow_;
};

// Makes F1 in window ask desk for the window's topic. The compiled help opens at the help
// context of the focused control, the nearest one set from the control outwards (the topic's
// own when none is); the guide opens at the topic's page.
void addHelpKey(QWidget* window, const HelpTopic& topic, std::shared_ptr<HelpDesk> desk);

} // namespace velmora::app
