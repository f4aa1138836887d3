#include "app/qt/ProgramIcon.h"

#include <QDir>

namespace velmora::app {

QIcon programIcon() {
    QIcon icon;
    const QDir renderings(QStringLiteral(":/icono"));
    for (const QString& file : renderings.entryList({QStringLiteral("velmora-*.png")})) {
        icon.addFile(renderings.filePath(file));
    }
    return icon;
}

} // namespace velmora::app
