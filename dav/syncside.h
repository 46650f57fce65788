#pragma once

#include "dav/cardmerge.h"
#include "dav/syncstore.h"
#include "db/core/connection.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace dav {

// A conflict as reported: the contact or appointment, the field and both values.
struct SyncConflict
{
    QString item;
    FieldConflict field;
};

// One side of the archive a collection is synced with (the contacts, the appointments): what
// the sync needs to know of its items, and how it changes them. The items are resources (a
// card, an event) as texts; the merge works on their fields.
class SyncSide
{
public:
    virtual ~SyncSide() = default;

    virtual Collection collection() const = 0;

    // Reads every item of the archive.
    virtual db::Status load(db::Connection &connection) = 0;
    // The items that belong on the server (not cancelled, not archived), in key order.
    virtual QList<qint64> onPhones() const = 0;
    // Whether the item is still in the archive, on the phones or not.
    virtual bool exists(qint64 id) const = 0;
    virtual bool isOnPhones(qint64 id) const = 0;
    // How a message names the item.
    virtual QString describe(qint64 id) const = 0;

    // The archive's own version of the item now, as a resource with the archive's UID: kept
    // with the agreed version, so that the office's later changes are found against it.
    virtual QByteArray archiveView(qint64 id) const = 0;
    // What the office holds of an item last agreed as `agreed` when the archive held `view`:
    // `agreed` itself while the archive has not changed since; otherwise the archive's version
    // in the server's terms (its UID, what the archive does not keep as the server has it).
    virtual QByteArray officeText(qint64 id, const QByteArray &agreed,
                                  const QByteArray &view) const = 0;
    // Whether two resources say the same as far as the program reads them.
    virtual bool same(const QByteArray &a, const QByteArray &b) const = 0;
    // Whether the text is a resource the program can read at all.
    virtual bool readable(const QByteArray &text) const = 0;
    // The name of the resource made for a new item.
    virtual QString resourceName(qint64 id) const = 0;
    // The item a resource the archive has not agreed on stands for (a card exported before, an
    // event of the calendar file), among the items on the phones not in `linked`; 0 for none.
    virtual qint64 match(const QByteArray &server, const QSet<qint64> &linked) const = 0;

    struct Outcome
    {
        QByteArray text;             // what both sides hold afterwards
        bool archiveChanges = false; // the archive takes something of the server's
        QList<FieldConflict> conflicts;
    };
    // The three-way merge of the item `id` with the server's version, `agreed` being the last
    // one both sides held (empty when none) and `view` what the archive held then.
    virtual Outcome merge(const QByteArray &agreed, qint64 id, const QByteArray &view,
                          const QByteArray &server) const = 0;
    // What of `text`, just written into the item, the archive could not keep, one line each.
    virtual QStringList unstored(qint64 id, const QByteArray &text) const = 0;

    // Writes `text` into the item `id` (0: a new item) and reads it back; the item's key.
    virtual db::Result<qint64> write(db::Connection &connection, qint64 id,
                                     const QByteArray &text) = 0;
    // Takes the item off the phones (cancelled, archived) or puts it back.
    virtual db::Status setOnPhones(db::Connection &connection, qint64 id, bool onPhones) = 0;
};

} // namespace dav
