#include "common/dialogs.h"

#include <QDebug>
#include <QDir>
#include <QStandardPaths>

namespace {

class LoggingDialogs final : public Dialogs
{
public:
    void inform(MessageKind, const QString &message, const QString &caption) override
    {
        qWarning().noquote() << caption << ':' << message;
    }
    bool ask(const QString &question, const QString &caption, Answer) override
    {
        qWarning().noquote() << caption << ':' << question << "-> No";
        return false;
    }
    int choose(const QString &question, const QString &caption, const QStringList &buttons, int,
               int escape) override
    {
        qWarning().noquote() << caption << ':' << question << "->" << buttons.value(escape);
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

Dialogs *&installed()
{
    static Dialogs *current = nullptr;
    return current;
}

} // namespace

Dialogs &dialogs()
{
    static LoggingDialogs fallback;
    return installed() ? *installed() : fallback;
}

void setDialogs(Dialogs *implementation)
{
    installed() = implementation;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}
