#pragma once

#include <QIcon>

namespace velmora::app {

// The green check mark of the buttons of the OK kind.
QIcon checkMarkIcon();

} // namespace velmora::app
