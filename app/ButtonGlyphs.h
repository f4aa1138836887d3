#pragma once

#include <QIcon>

// The green check mark of the buttons of the OK kind.
QIcon checkMarkIcon();
