#include "app/MainWindow.h"
#include "app/MainWindowSetup.h"
#include "app/ProgramIcon.h"
#include "app/QtTranslation.h"
#include "velmora/Version.h"

#include <QApplication>
#include <QStringList>

#include <iostream>
#include <string_view>

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
    // Answered before Qt starts, so that it works without a display. One argument never
    // starts automatic mode, which takes two.
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "velmora (" << velmora::programName << ") " << velmora::programVersion << "\n";
        return 0;
    }
    const QStringList commandLine = commandLineAsGiven(argc, argv);
    QApplication application(argc, argv);
    // The window's caption must read exactly as it is set, so there is no display name; the
    // message boxes carry the application's title themselves.
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QString::fromLatin1(velmora::programVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(programIcon());
    useQtSpanishTranslation(application);

    MainWindow window(setupForThisProgram(commandLine));
    window.show();
    return QApplication::exec();
}
