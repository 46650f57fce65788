#pragma once

#include "common/dialogs.h"

// The dialogs of a benchmark: nobody answers, so messages are kept and questions get No.
class SilentDialogs final : public Dialogs
{
public:
    QString last;
    void inform(MessageKind, const QString &message, const QString &) override { last = message; }
    bool ask(const QString &, const QString &, Answer) override { return false; }
    int choose(const QString &, const QString &, const QStringList &, int, int escape) override
    {
        return escape;
    }
    QString chooseOpenFile(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    QString chooseSaveFile(const QString &, const QString &, const QString &) override
    {
        return {};
    }
    int showModal(QWidget *) override { return 0; }
};
