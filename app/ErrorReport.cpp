#include "app/ErrorReport.h"

namespace velmora::app {

QString errorReportText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

} // namespace velmora::app
