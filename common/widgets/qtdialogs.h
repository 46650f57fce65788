#pragma once

#include "common/dialogs.h"

// The dialogs of the running program: Qt message boxes with Italian buttons, Qt file dialogs,
// QDialog::exec for modal windows.
class QtDialogs final : public Dialogs
{
public:
    void inform(MessageKind kind, const QString &message, const QString &caption) override;
    void informWithDetails(MessageKind kind, const QString &message, const QString &details,
                           const QString &caption) override;
    bool ask(const QString &question, const QString &caption, Answer preselected) override;
    int choose(const QString &question, const QString &caption, const QStringList &buttons,
               int preselected, int escape) override;
    QString chooseOpenFile(const QString &title, const QString &filter,
                           const QString &folder) override;
    QStringList chooseOpenFiles(const QString &title, const QString &filter,
                                const QString &folder) override;
    QString chooseSaveFile(const QString &title, const QString &filter,
                           const QString &suggested) override;
    int showModal(QWidget *window) override;
};
