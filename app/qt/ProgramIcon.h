#pragma once

#include <QIcon>

namespace velmora::app {

// Velmora's icon, at every size it was rendered in.
QIcon programIcon();

} // namespace velmora::app
