#pragma once

#include "db/core/result.h"

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace privacy {

// What erasing a contact for good takes away (art. 17): the contact, its payments, its
// appointments, the workstations' scratch rows that name it (notice recipients, print jobs).
struct ErasurePlan
{
    qint64 id = 0;
    QString name;
    int payments = 0;
    int appointments = 0;
    int recipientRows = 0;   // TempAvvisiContatti
    QList<qint64> printJobs; // TempStampa rows whose query names the contact
};

// Finds what goes; an ID no contact has is refused in Italian.
db::Result<ErasurePlan> planErasure(db::Connection &connection, qint64 id);

// The plan in words, and the question asked before anything is erased.
QString erasureSummary(const ErasurePlan &plan);
QString erasureQuestion(const ErasurePlan &plan);

struct ErasureDone
{
    ErasurePlan plan;
    // Whether no byte of what was erased is left in the archive's files. On SQLite the erased
    // pages are overwritten and the log emptied; a log another workstation still reads cannot
    // be emptied yet. On a server, its own files keep the old rows until VACUUM.
    bool filesClean = false;
    QString note; // what the user must know about the files, in Italian; empty when clean
};

// Erases everything in the plan in one transaction: all of it or, on any failure, nothing.
// The plan is found again inside the transaction, so that a payment added meanwhile goes too.
db::Result<ErasureDone> eraseContact(db::Connection &connection, qint64 id);

// The ordinary "Elimina" of the contact list deletes the contact only: what it leaves behind.
struct LeftBehind
{
    int payments = 0;
    int appointments = 0;
};
db::Result<LeftBehind> leftBehindByDelete(db::Connection &connection, qint64 id);

} // namespace privacy
