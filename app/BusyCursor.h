#pragma once

#include <QApplication>
#include <QCursor>

namespace velmora::app {

// Shows one cursor over the whole application for as long as the guard lives, on every path
// out of the scope. Guards nest: the inner one's cursor shows until it ends.
class ApplicationCursor {
public:
    explicit ApplicationCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
    ~ApplicationCursor() { QApplication::restoreOverrideCursor(); }
    ApplicationCursor(const ApplicationCursor&) = delete;
    ApplicationCursor& operator=(const ApplicationCursor&) = delete;
};

// The hour-glass while a run works.
class BusyCursor : public ApplicationCursor {
public:
    BusyCursor() : ApplicationCursor(Qt::WaitCursor) {}
};

// The ordinary pointer while a run waits for the user's answer.
class NormalCursor : public ApplicationCursor {
public:
    NormalCursor() : ApplicationCursor(Qt::ArrowCursor) {}
};

} // namespace velmora::app
