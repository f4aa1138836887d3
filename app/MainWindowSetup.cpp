#include "app/MainWindowSetup.h"

#include "app/DialogFrameChooser.h"
#include "services/ExchangeFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace velmora::app {

MainWindowSetup setupForThisProgram(QStringList commandLine) {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    MainWindowSetup setup;
    setup.arguments = std::move(commandLine);
    setup.iniFile = programFolder.filePath(QStringLiteral("Horadia.ini"));
    setup.helpFile = programFolder.filePath(QStringLiteral("SAUCE.chm"));
    setup.exchangeFolder = velmora::defaultExchangeFolder();
    setup.dialogs = std::make_shared<QtWindowDialogs>();
    setup.frameChooser = [](QWidget* owner, const QString& document) {
        return std::make_unique<DialogFrameChooser>(owner, document);
    };
    return setup;
}

} // namespace velmora::app
