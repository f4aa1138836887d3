#pragma once

#include <QString>

#include <exception>

namespace velmora::app {

// The text of the window's error report for an error that stopped a run. Every report goes
// through here, so that the words shown for each kind of error are chosen in one place.
QString errorReportText(const std::exception& error);

} // namespace velmora::app
