#include "app/qt/MainWindow.h"
#include "app/qt/PathText.h"
#include "app/qt/ProgramIcon.h"
#include "app/qt/QtTranslation.h"
#include "messages/WindowTexts.h"
#include "velmora/Version.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The command line after the program's name as it was given, in UTF-8. QApplication takes the
// options it knows (-style, -reverse ...) out of argv, and the number of arguments decides
// automatic mode.
std::vector<std::string> argumentsAsGiven(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(QString::fromLocal8Bit(argv[i]).toStdString());
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
    std::vector<std::string> arguments = argumentsAsGiven(argc, argv);
    QApplication application(argc, argv);
    // The window's caption must read exactly as it is set, so there is no display name; the
    // message boxes carry the application's title themselves.
    QApplication::setApplicationName(QString::fromUtf8(velmora::messages::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(velmora::programVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(programIcon());
    useQtSpanishTranslation(application);

    MainWindow window(
        programSetup(toPath(QCoreApplication::applicationDirPath()), std::move(arguments)));
    window.show();
    return QApplication::exec();
}
