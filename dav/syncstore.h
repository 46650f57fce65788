#pragma once

#include "db/core/result.h"

#include <QHash>
#include <QString>

namespace db {
class Connection;
}

namespace dav {

// The sync settings of the archive, shared by every workstation: the server, the user and the
// password (kept as the e-mail password is).
struct StoredSettings
{
    QString server;
    QString user;
    QString password;
};

// What the archive remembers of the server, in tables made when first needed, so that an
// archive of any age syncs without an update. Reading never writes (the tools may read only).
db::Result<StoredSettings> readStoredSettings(db::Connection &connection);
// Inside the caller's transaction, when there is one.
db::Status writeStoredSettings(db::Connection &connection, const StoredSettings &settings);

// One item agreed with the server: the contact or appointment it is, its address there, the
// ETag the server gave it, the version both sides last agreed on (the card or event as the
// server holds it) and what the archive held then (the card or event the archive makes of it),
// against which the office's changes are found.
struct SyncedItem
{
    qint64 local = 0;
    QString href;
    QString etag;
    QString agreed;
    QString archive;

    bool operator==(const SyncedItem &other) const = default;
};

enum class Collection
{
    Contacts,
    Agenda,
};

struct CollectionState
{
    QString url;                     // the collection's address this state belongs to
    QString syncToken;               // the server's last sync token; empty when it offers none
    QHash<qint64, SyncedItem> items; // by local key
};

// The state of `collection` as stored; nothing yet when it was never synced or was synced with
// another collection (another server, another user), which starts afresh.
db::Result<CollectionState> readCollectionState(db::Connection &connection, Collection collection,
                                                const QString &url);
// Replaces the stored state of `collection` with `state` (inside the caller's transaction).
db::Status writeCollectionState(db::Connection &connection, Collection collection,
                                const CollectionState &state);

} // namespace dav
