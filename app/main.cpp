#include "app/MainWindow.h"
#include "app/MainWindowSetup.h"

#include <QApplication>
#include <QStringList>

namespace {

// The command line as it was given. QApplication takes the options it knows (-style, -reverse
// ...) out of argv, and the number of arguments decides automatic mode.
QStringList commandLineAsGiven(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    using namespace velmora::app;
    const QStringList commandLine = commandLineAsGiven(argc, argv);
    QApplication application(argc, argv);
    // The window's caption must read exactly as it is set, so there is no display name; the
    // message boxes carry the application's title themselves.
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));

    MainWindow window(setupForThisProgram(commandLine));
    window.show();
    return QApplication::exec();
}
