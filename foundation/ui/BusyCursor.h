#pragma once
#include <QApplication>

// Shows the wait cursor for as long as it lives; the cursor comes back on every path out,
// exceptions included. Leave its scope before showing a message box.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
