#pragma once

#include "app/HelpDesk.h"
#include "app/WindowDialogs.h"
#include "conversion/FrameChooser.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>

class QWidget;

namespace velmora::app {

// Makes the time-frame question of a conversion run for a window and the chosen document.
using FrameChooserFactory =
    std::function<std::unique_ptr<velmora::FrameChooser>(QWidget* owner, const QString& document)>;

// Everything the main window takes from its surroundings. The program fills it from its own
// command line and folder; the window tests point it at a temporary folder and a script.
struct MainWindowSetup {
    QStringList arguments; // the command line, the program itself first
    QString iniFile;       // where the completion code is written in automatic mode
    std::filesystem::path exchangeFolder;
    std::shared_ptr<WindowDialogs> dialogs;
    FrameChooserFactory frameChooser;
    std::shared_ptr<HelpDesk> help = std::make_shared<HelpDesk>();
};

// The running program's setup: its command line as it was given, "Horadia.ini" beside the
// executable, the exchange folder, Qt's dialogs, the time-frame dialog, and the help: the
// compiled help file "SAUCE.chm" beside the executable on Windows, the built-in guide elsewhere.
MainWindowSetup setupForThisProgram(QStringList commandLine);

} // namespace velmora::app
