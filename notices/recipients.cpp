#include "notices/recipients.h"

#include <algorithm>

namespace notices {

QList<Recipient> recipientsOf(const db::RowSet &rows)
{
    const int name = rows.columnIndex(u"NominativoVisualizzato");
    const int key = rows.columnIndex(u"Id");
    QList<Recipient> recipients;
    if (name < 0 || key < 0)
        return recipients;
    recipients.reserve(rows.rows.size());
    for (const QVariantList &row : rows.rows) {
        const QString shown = row[name].toString();
        if (!shown.isEmpty())
            recipients.append(Recipient{shown, row[key].toLongLong()});
    }
    std::stable_sort(recipients.begin(), recipients.end(),
                     [](const Recipient &a, const Recipient &b) {
                         const int order =
                             a.nominativo.compare(b.nominativo, Qt::CaseInsensitive);
                         return order != 0 ? order < 0 : a.id < b.id;
                     });
    return recipients;
}

db::Status writeRecipients(db::Connection &connection, const QString &computerName,
                           const QList<qint64> &contacts)
{
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    if (db::Result<db::RowSet> cleared = connection.run(
            QStringLiteral("delete * from TempAvvisiContatti where NomeComputer = ?"),
            {computerName});
        !cleared)
        return cleared.error();
    const QString insert = QStringLiteral(
        "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) VALUES(?, ?)");
    for (qint64 contact : contacts) {
        if (db::Result<db::RowSet> added = connection.run(insert, {computerName, contact}); !added)
            return added.error();
    }
    return transaction.commit();
}

db::Result<QString> storedNoticeText(db::Connection &connection, const QString &computerName)
{
    const db::Result<db::RowSet> stored = connection.run(
        QStringLiteral("select Testo from TempAvvisi where NomeComputer = ?"), {computerName});
    if (!stored)
        return stored.error();
    const QString text = stored->rows.isEmpty() ? QString() : stored->rows[0][0].toString();
    if (text.trimmed().isEmpty())
        return db::Error{QStringLiteral("Il testo dell'avviso è vuoto: scriverlo, o importarlo da "
                                        "un avviso già predisposto, prima di stampare.")};
    return text;
}

} // namespace notices
