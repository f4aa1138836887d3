#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

namespace velmora::app {

// Shows the compiled help file (SAUCE.chm) with the platform's viewer: HTML Help on Windows,
// an installed CHM viewer elsewhere, or the desktop's opener for the file. A missing help file
// or viewer is reported, never passed over in silence.
class HelpViewer {
public:
    // How viewers are found and started; tests replace it so that nothing is launched.
    struct Launcher {
        std::function<QString(const QString& program)> findProgram; // empty when not installed
        std::function<bool(const QString& program, const QStringList& arguments)> start;
        std::function<bool(const QUrl& url)> openUrl;
    };
    static Launcher systemLauncher();

    HelpViewer(QString helpFile, std::function<void(const QString&)> reportProblem,
               Launcher launcher = systemLauncher());

    void setHelpFile(QString helpFile) { helpFile_ = std::move(helpFile); }
    const QString& helpFile() const { return helpFile_; }

    // The topic registered under a help context number.
    void showContext(int context);
    // The help file's table of contents.
    void showContents();

private:
    void show(std::optional<int> context);

    QString helpFile_;
    std::function<void(const QString&)> reportProblem_;
    Launcher launcher_;
};

} // namespace velmora::app
