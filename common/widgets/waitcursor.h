#pragma once

#include "common/dialogs.h"

#include <QApplication>

// The hourglass for as long as it lives; a question shows the normal pointer meanwhile.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

    static bool ask(const QString &question)
    {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        const bool yes = dialogs().confirm(question);
        QApplication::restoreOverrideCursor();
        return yes;
    }
};
