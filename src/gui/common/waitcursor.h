#pragma once

#include <QGuiApplication>

namespace mdk {

// Shows the wait cursor for the lifetime of the guard. Without a GUI
// application (command-line use, some tests) there is no cursor to change.
class WaitCursor {
public:
    WaitCursor() : active_(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (active_)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (active_)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool active_;
};

} // namespace mdk
