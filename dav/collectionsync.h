#pragma once

#include "dav/davclient.h"
#include "db/core/result.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QUrl>

namespace dav {

enum class Collection;

// What changed in a collection since the last sync: the members added or changed (by their
// path, with their ETag) and the members gone. A full listing (the first sync, or a server
// without sync-collection, RFC 6578) names every member: those it does not name are gone.
struct ServerChanges
{
    QHash<QString, QString> changed; // path -> ETag
    QSet<QString> removed;
    QString syncToken; // the token to ask from next time; empty when the server offers none
};

// The members changed since `syncToken` (or all of them, when it is empty or the server no
// longer knows it), compared with the ETags the archive remembers (`known`, by path): a member
// with the ETag remembered is not a change. `useSyncCollection` false asks with PROPFIND alone.
db::Result<ServerChanges> listChanges(DavClient &client, const QUrl &collection,
                                      const QString &syncToken,
                                      const QHash<QString, QString> &known, bool useSyncCollection);

// A member's body and ETag.
struct ServerItem
{
    QString etag;
    QByteArray data;
};

// The bodies of `paths`, a hundred per multiget report; a member gone meanwhile is left out.
db::Result<QHash<QString, ServerItem>> fetchItems(DavClient &client, const QUrl &collection,
                                                  Collection kind, const QList<QString> &paths);

// The outcome of a write: done (with the new ETag, empty when the server gave none), or refused
// because the member changed (or appeared) meanwhile (412).
struct WriteResult
{
    bool changedMeanwhile = false;
    QString etag;
};

// Writes a member: `etag` empty creates it (If-None-Match: *), else replaces that version
// (If-Match).
db::Result<WriteResult> putItem(DavClient &client, const QUrl &collection, const QString &path,
                                Collection kind, const QByteArray &body, const QString &etag);
// Deletes that version of a member; one already gone counts as deleted.
db::Result<WriteResult> deleteItem(DavClient &client, const QUrl &collection, const QString &path,
                                   const QString &etag);

// A member's path as the program keeps it: decoded, from the server's href.
QString memberPath(const QUrl &collection, const QString &href);

} // namespace dav
