#pragma once

#include "dav/davsettings.h"
#include "dav/syncside.h"
#include "db/core/connection.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>
#include <QUrl>

#include <functional>

namespace dav {

struct SyncOptions
{
    QTimeZone zone = QTimeZone::systemTimeZone(); // the office's
    QDateTime now;                 // when the sync runs; the program's clock if invalid
    bool useSyncCollection = true; // false: the ETags alone, as on a server without it
};

// What a sync did to one collection.
struct SyncCounts
{
    int sent = 0;     // items written or deleted on the server
    int received = 0; // items read from the server because they were new or changed there
    int updated = 0;  // items of the archive added, changed, cancelled or brought back
};

struct SyncReport
{
    SyncCounts contacts;
    SyncCounts agenda;
    QList<SyncConflict> conflicts;
    QStringList notes;   // what the user should know of single items
    QStringList created; // the collections made on the server

    // In Italian, one line each: the collections made, the counts, one line per conflict (with
    // the word "conflitto"), the notes.
    QString text() const;
};

// Asked while the sync runs: whether to go on, and what it is doing.
struct SyncProgress
{
    std::function<bool()> keepGoing;
    std::function<void(const QString &step, int done, int total)> step;
};

// One sync, both ways, of the contacts and the agenda with the server of `settings`. The
// archive's changes are written in one transaction at the end: a sync that fails (or is
// cancelled) leaves the archive as it was, and says so. What it had already written on the
// server is recognised as agreed by the next sync.
db::Result<SyncReport> synchronise(db::Connection &connection, const DavSettings &settings,
                                   const SyncOptions &options, const SyncProgress &progress = {});

} // namespace dav
