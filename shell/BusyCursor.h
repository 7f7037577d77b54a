#pragma once
// The wait cursor for the length of a scope (long opens, imports, exports),
// so the window never looks dead; restored however the scope is left.

#include <QApplication>
#include <QCursor>

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
