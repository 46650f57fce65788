#include "tools/calvetra-sql/backupcommands.h"

#include "common/console.h"
#include "db/core/archive.h"

#include <QTextStream>

#include <cstdio>

namespace {

// An archive whose copies the program does not write: the words that say how they are made.
int explainByHand(const QString &advice)
{
    err() << advice;
    err().flush();
    return 1;
}

bool confirmed(const QString &archive, const QString &copy)
{
    return askYes(QStringLiteral("L'archivio %1 sarà sostituito dalla copia %2: ciò che è stato "
                                 "scritto dopo la copia andrà perso. Continuare?")
                      .arg(archive, copy));
}

int backup(const QString &archive, const QString &copy)
{
    if (db::Status done = db::backupArchive(archive, copy); !done) {
        err() << done.message() << Qt::endl;
        return 1;
    }
    out() << "Copia di sicurezza scritta e controllata: " << copy << Qt::endl;
    return 0;
}

int restore(const QString &archive, const QString &copy, bool alreadyConfirmed)
{
    // Nobody is asked about a restore that would be refused.
    if (db::Status refused = db::restoreRefusal(copy, archive); !refused) {
        err() << refused.message() << Qt::endl;
        return 1;
    }
    if (!alreadyConfirmed && !confirmed(archive, copy)) {
        err() << "Ripristino annullato: l'archivio non è cambiato." << Qt::endl;
        return 1;
    }
    if (db::Status done = db::restoreArchive(copy, archive); !done) {
        err() << done.message() << Qt::endl;
        return 1;
    }
    out() << "Archivio ripristinato dalla copia " << copy << Qt::endl;
    return 0;
}

} // namespace

std::optional<int> runBackupCommand(const QStringList &arguments)
{
    if (arguments.isEmpty() || (arguments[0] != u"--backup" && arguments[0] != u"--restore"))
        return std::nullopt;
    const bool restoring = arguments[0] == u"--restore";
    QStringList rest = arguments.mid(1);
    const bool alreadyConfirmed = restoring && rest.removeAll(QStringLiteral("--conferma")) > 0;
    if (rest.size() != 2 || rest[0].startsWith(u"--") || rest[1].startsWith(u"--"))
        return std::nullopt;
    if (const QString advice = db::backupAdvice(rest[0], rest[1], restoring); !advice.isEmpty())
        return explainByHand(advice);
    return restoring ? restore(rest[0], rest[1], alreadyConfirmed) : backup(rest[0], rest[1]);
}
