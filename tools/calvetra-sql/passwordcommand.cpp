#include "tools/calvetra-sql/passwordcommand.h"

#include "common/console.h"
#include "db/core/archive.h"
#include "options/adminpassword.h"

std::optional<int> runPasswordCommand(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments[0] != u"--reset-password")
        return std::nullopt;
    QStringList rest = arguments.mid(1);
    const bool alreadyConfirmed = rest.removeAll(QStringLiteral("--conferma")) > 0;
    if (rest.size() != 1 || rest[0].startsWith(u"--"))
        return std::nullopt;
    const QString &location = rest[0];
    db::Result<std::unique_ptr<db::Connection>> archive = db::openArchive(location);
    if (!archive) {
        err() << archive.message() << Qt::endl;
        return 1;
    }
    const db::Result<bool> has = hasAdministratorPassword(**archive);
    if (!has) {
        err() << has.message() << Qt::endl;
        return 1;
    }
    if (!*has) {
        out() << "L'archivio " << location
              << " non ha una password dell'amministratore: non c'è niente da togliere."
              << Qt::endl;
        return 0;
    }
    if (!alreadyConfirmed &&
        !askYes(QStringLiteral("La password dell'amministratore di %1 sarà tolta: il programma "
                               "non la chiederà più all'avvio, e una nuova si imposta dalle "
                               "Opzioni. Continuare?")
                    .arg(location))) {
        err() << "Nulla è cambiato: la password resta." << Qt::endl;
        return 1;
    }
    if (db::Status removed = removeAdministratorPassword(**archive); !removed) {
        err() << removed.message() << Qt::endl;
        return 1;
    }
    out() << "Password dell'amministratore tolta: impostarne una nuova dalle Opzioni." << Qt::endl;
    return 0;
}
