// The wait cursor over the program's windows while a long step runs.
#pragma once

#include <QCursor>
#include <QGuiApplication>

// Shows the wait cursor from construction to destruction.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
