#include "common/backupadvice.h"

namespace {

// Single quotes for the shell, so that the line shown can be pasted as it is.
QString quoted(QString text)
{
    text.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + text + u'\'';
}

} // namespace

QString postgresBackupAdvice(const QString &connection, const QString &copy, bool restoring)
{
    QString text = QStringLiteral(
        "L'archivio è un database PostgreSQL: le sue copie di sicurezza si fanno con pg_dump e "
        "si rimettono con pg_restore, sul server o da una postazione che lo raggiunge.\n");
    if (restoring)
        text += QStringLiteral("Per ripristinare la copia:\n  pg_restore --clean --if-exists "
                               "--no-owner --dbname=%1 %2\n")
                    .arg(quoted(connection), quoted(copy));
    else
        text += QStringLiteral("Per fare la copia:\n  pg_dump --format=custom --file=%1 %2\n")
                    .arg(quoted(copy), quoted(connection));
    return text;
}
