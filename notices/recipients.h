#pragma once

#include "db/core/connection.h"

#include <QList>
#include <QString>

// The recipients of a notice: the contacts the filter step found, and the rows that tell the
// report runner whom this workstation's notice goes to.
namespace notices {

struct Recipient
{
    QString nominativo; // the display name, as the list shows it
    qint64 id = 0;      // the contact's key
};

// The contacts of a notice query that have a display name, ordered by it regardless of letter
// case (the query itself has no order).
QList<Recipient> recipientsOf(const db::RowSet &rows);

// Replaces this workstation's recipient rows (TempAvvisiContatti) with `contacts`, in one
// transaction: a failure leaves the previous rows as they were. Other workstations' rows are
// never touched.
db::Status writeRecipients(db::Connection &connection, const QString &computerName,
                           const QList<qint64> &contacts);

// This workstation's notice text as stored; a message instead when there is no text to print.
db::Result<QString> storedNoticeText(db::Connection &connection, const QString &computerName);

// The statements of the two above, the workstation's name bound to the first ?: deleting its
// recipient rows, adding one (the contact's key bound to the second ?), reading its text.
QString clearRecipientsSql();
QString addRecipientSql();
QString storedNoticeTextSql();

} // namespace notices
