#include "app/HelpViewer.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace velmora::app {

namespace {

struct KnownViewer {
    QString program;
    // The arguments that open the file at a topic given by its context number; none when the
    // viewer can only open the file.
    std::function<QStringList(int context, const QString& file)> topicArguments;
};

// In order of preference.
const std::vector<KnownViewer>& knownViewers() {
#ifdef _WIN32
    // The HTML Help viewer of every Windows.
    static const std::vector<KnownViewer> viewers = {
        {QStringLiteral("hh.exe"),
         [](int context, const QString& file) {
             return QStringList{QStringLiteral("-mapid"), QString::number(context), file};
         }},
    };
#else
    static const std::vector<KnownViewer> viewers = {
        {QStringLiteral("xchm"),
         [](int context, const QString& file) {
             return QStringList{QStringLiteral("-c"), QString::number(context), file};
         }},
        {QStringLiteral("kchmviewer"), {}},
    };
#endif
    return viewers;
}

} // namespace

HelpViewer::Launcher HelpViewer::systemLauncher() {
    return {
        [](const QString& program) { return QStandardPaths::findExecutable(program); },
        [](const QString& program, const QStringList& arguments) {
            return QProcess::startDetached(program, arguments);
        },
        [](const QUrl& url) { return QDesktopServices::openUrl(url); },
    };
}

HelpViewer::HelpViewer(QString helpFile, std::function<void(const QString&)> reportProblem,
                       Launcher launcher)
    : helpFile_(std::move(helpFile)), reportProblem_(std::move(reportProblem)),
      launcher_(std::move(launcher)) {}

void HelpViewer::showContext(int context) {
    show(context);
}

void HelpViewer::showContents() {
    show(std::nullopt);
}

void HelpViewer::show(std::optional<int> context) {
    const QFileInfo file(helpFile_);
    const QString path = file.absoluteFilePath();
    if (!file.isFile()) {
        reportProblem_(QStringLiteral("No se encuentra el archivo de ayuda %1.")
                           .arg(QDir::toNativeSeparators(path)));
        return;
    }
    for (const KnownViewer& viewer : knownViewers()) {
        const QString program = launcher_.findProgram(viewer.program);
        if (program.isEmpty()) {
            continue;
        }
        const QStringList arguments = context && viewer.topicArguments
                                          ? viewer.topicArguments(*context, path)
                                          : QStringList{path};
        if (launcher_.start(program, arguments)) {
            return;
        }
    }
    // The desktop may know some viewer, but it can only open the file, not a topic.
    if (launcher_.openUrl(QUrl::fromLocalFile(path))) {
        return;
    }
    reportProblem_(QStringLiteral("No hay ningún programa para ver el archivo de ayuda %1. Instale "
                                  "un visor de archivos CHM, por ejemplo xchm.")
                       .arg(QDir::toNativeSeparators(path)));
}

} // namespace velmora::app
