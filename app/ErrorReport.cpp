#include "app/ErrorReport.h"

#include "messages/Messages.h"

namespace velmora::app {

QString errorReportText(const std::exception& error) {
    return QString::fromStdString(messages::describe(error));
}

} // namespace velmora::app
