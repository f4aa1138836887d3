#include "app/MainWindowSetup.h"

#include "app/DialogFrameChooser.h"
#include "services/files/ExchangeFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace velmora::app {

MainWindowSetup setupForThisProgram(QStringList commandLine) {
    const QDir programFolder(QCoreApplication::applicationDirPath());
    MainWindowSetup setup;
    setup.arguments = std::move(commandLine);
    setup.iniFile = programFolder.filePath(QStringLiteral("Horadia.ini"));
#ifdef _WIN32
    setup.help = std::make_shared<HelpDesk>(programFolder.filePath(QStringLiteral("SAUCE.chm")));
#else
    setup.help = std::make_shared<HelpDesk>();
#endif
    setup.exchangeFolder = velmora::defaultExchangeFolder();
    setup.dialogs = std::make_shared<QtWindowDialogs>();
    setup.frameChooser = [help = setup.help](QWidget* owner, const QString& document) {
        return std::make_unique<DialogFrameChooser>(owner, document, help);
    };
    return setup;
}

} // namespace velmora::app
