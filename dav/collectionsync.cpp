#include "dav/collectionsync.h"

#include "dav/discovery.h"
#include "dav/multistatus.h"
#include "dav/syncstore.h"

#include <QXmlStreamWriter>

namespace dav {

namespace {

constexpr int kPerReport = 100;

QUrl memberUrl(const QUrl &collection, const QString &path)
{
    QUrl url = collection;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

db::Error unexpected(int status, const QUrl &url)
{
    return db::Error{QStringLiteral("Il server ha risposto %1 a %2: una risposta che il "
                                    "programma non si aspetta.")
                         .arg(status)
                         .arg(url.toString(QUrl::RemoveUserInfo))};
}

QByteArray syncCollectionBody(const QString &token)
{
    QByteArray body;
    QXmlStreamWriter xml(&body);
    const QString d = QString::fromLatin1(kDavNs);
    xml.writeStartDocument();
    xml.writeNamespace(d, QStringLiteral("d"));
    xml.writeStartElement(d, QStringLiteral("sync-collection"));
    xml.writeTextElement(d, QStringLiteral("sync-token"), token);
    xml.writeTextElement(d, QStringLiteral("sync-level"), QStringLiteral("1"));
    xml.writeStartElement(d, QStringLiteral("prop"));
    xml.writeEmptyElement(d, QStringLiteral("getetag"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

QByteArray multigetBody(Collection kind, const QUrl &collection, const QList<QString> &paths)
{
    const bool cards = kind == Collection::Contacts;
    const QString ns = QString::fromLatin1(cards ? kCardNs : kCalNs);
    const QString d = QString::fromLatin1(kDavNs);
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(d, QStringLiteral("d"));
    xml.writeNamespace(ns, QStringLiteral("c"));
    xml.writeStartElement(ns, cards ? QStringLiteral("addressbook-multiget")
                                    : QStringLiteral("calendar-multiget"));
    xml.writeStartElement(d, QStringLiteral("prop"));
    xml.writeEmptyElement(d, QStringLiteral("getetag"));
    xml.writeEmptyElement(ns,
                          cards ? QStringLiteral("address-data") : QStringLiteral("calendar-data"));
    xml.writeEndElement();
    for (const QString &path : paths)
        xml.writeTextElement(
            d, QStringLiteral("href"),
            QString::fromLatin1(
                memberUrl(collection, path).toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)));
    xml.writeEndElement();
    xml.writeEndDocument();
    return body;
}

bool isMember(const QUrl &collection, const DavItem &item, const QString &path)
{
    if (path == memberPath(collection, collection.path()))
        return false;
    const DavProperty *type = item.property(kDavNs, "resourcetype");
    return !type || !type->children.contains(qualifiedName(kDavNs, "collection"));
}

// Every member with its ETag, by PROPFIND.
db::Result<ServerChanges> listAll(DavClient &client, const QUrl &collection,
                                  const QHash<QString, QString> &known)
{
    db::Result<Multistatus> listed =
        propfind(client, collection, 1, {{kDavNs, "getetag"}, {kDavNs, "resourcetype"}});
    if (!listed)
        return listed.error();
    ServerChanges changes;
    QSet<QString> present;
    for (const DavItem &item : std::as_const(listed->items)) {
        const QString path = memberPath(collection, item.href);
        if (item.status != 200 || !isMember(collection, item, path))
            continue;
        present.insert(path);
        const DavProperty *etag = item.property(kDavNs, "getetag");
        const QString tag = etag ? etag->text.trimmed() : QString();
        if (tag.isEmpty() || known.value(path) != tag)
            changes.changed.insert(path, tag);
    }
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (!present.contains(it.key()))
            changes.removed.insert(it.key());
    }
    return changes;
}

} // namespace

QString memberPath(const QUrl &collection, const QString &href)
{
    return collection.resolved(QUrl(href)).path(QUrl::FullyDecoded);
}

db::Result<ServerChanges> listChanges(DavClient &client, const QUrl &collection,
                                      const QString &syncToken,
                                      const QHash<QString, QString> &known, bool useSyncCollection)
{
    if (!useSyncCollection)
        return listAll(client, collection, known);
    QString token = syncToken;
    for (int attempt = 0; attempt < 2; ++attempt) {
        db::Result<DavResponse> answer = sendFollowing(
            client, {"REPORT", collection, {{"Depth", "1"}}, syncCollectionBody(token)});
        if (!answer)
            return answer.error();
        if (answer->status != 207) {
            // The server no longer knows the token (RFC 6578 §3.2): everything again.
            if (!token.isEmpty() &&
                (answer->status == 403 || answer->status == 409 || answer->status == 400)) {
                token.clear();
                continue;
            }
            // No sync-collection here: the ETags alone.
            if (answer->status == 403 || answer->status == 400 || answer->status == 405 ||
                answer->status == 415 || answer->status == 501)
                return listAll(client, collection, known);
            return unexpected(answer->status, collection);
        }
        db::Result<Multistatus> read = readMultistatus(answer->body);
        if (!read)
            return read.error();
        ServerChanges changes;
        changes.syncToken = read->syncToken;
        QSet<QString> present;
        for (const DavItem &item : std::as_const(read->items)) {
            const QString path = memberPath(collection, item.href);
            if (!isMember(collection, item, path))
                continue;
            if (item.status == 404) {
                if (known.contains(path))
                    changes.removed.insert(path);
                continue;
            }
            present.insert(path);
            const DavProperty *etag = item.property(kDavNs, "getetag");
            const QString tag = etag ? etag->text.trimmed() : QString();
            if (tag.isEmpty() || known.value(path) != tag)
                changes.changed.insert(path, tag);
        }
        // A full listing names every member.
        if (token.isEmpty()) {
            for (auto it = known.cbegin(); it != known.cend(); ++it) {
                if (!present.contains(it.key()))
                    changes.removed.insert(it.key());
            }
        }
        return changes;
    }
    return listAll(client, collection, known);
}

db::Result<QHash<QString, ServerItem>> fetchItems(DavClient &client, const QUrl &collection,
                                                  Collection kind, const QList<QString> &paths)
{
    QHash<QString, ServerItem> items;
    const char *dataName = kind == Collection::Contacts ? "address-data" : "calendar-data";
    const char *dataNs = kind == Collection::Contacts ? kCardNs : kCalNs;
    for (qsizetype from = 0; from < paths.size(); from += kPerReport) {
        const QList<QString> batch = paths.mid(from, kPerReport);
        db::Result<DavResponse> answer = sendFollowing(
            client,
            {"REPORT", collection, {{"Depth", "1"}}, multigetBody(kind, collection, batch)});
        if (!answer)
            return answer.error();
        if (answer->status != 207)
            return unexpected(answer->status, collection);
        db::Result<Multistatus> read = readMultistatus(answer->body);
        if (!read)
            return read.error();
        for (const DavItem &item : std::as_const(read->items)) {
            const DavProperty *data = item.property(dataNs, dataName);
            if (item.status != 200 || !data)
                continue;
            const DavProperty *etag = item.property(kDavNs, "getetag");
            items.insert(memberPath(collection, item.href),
                         {etag ? etag->text.trimmed() : QString(), data->text.toUtf8()});
        }
    }
    return items;
}

db::Result<WriteResult> putItem(DavClient &client, const QUrl &collection, const QString &path,
                                Collection kind, const QByteArray &body, const QString &etag)
{
    const QUrl url = memberUrl(collection, path);
    DavRequest request{"PUT", url, {}, body};
    using Header = std::pair<QByteArray, QByteArray>;
    request.headers.append(Header("Content-Type", kind == Collection::Contacts
                                                      ? "text/vcard; charset=utf-8"
                                                      : "text/calendar; charset=utf-8"));
    if (etag.isEmpty())
        request.headers.append(Header("If-None-Match", "*"));
    else
        request.headers.append(Header("If-Match", etag.toUtf8()));
    db::Result<DavResponse> answer = client.send(request);
    if (!answer)
        return answer.error();
    if (answer->status == 412)
        return WriteResult{true, QString()};
    if (answer->status != 200 && answer->status != 201 && answer->status != 204)
        return unexpected(answer->status, url);
    return WriteResult{false, QString::fromUtf8(answer->etag)};
}

db::Result<WriteResult> deleteItem(DavClient &client, const QUrl &collection, const QString &path,
                                   const QString &etag)
{
    const QUrl url = memberUrl(collection, path);
    DavRequest request{"DELETE", url, {}, {}};
    if (!etag.isEmpty())
        request.headers.append(std::pair<QByteArray, QByteArray>("If-Match", etag.toUtf8()));
    db::Result<DavResponse> answer = client.send(request);
    if (!answer)
        return answer.error();
    if (answer->status == 412)
        return WriteResult{true, QString()};
    if (answer->status != 200 && answer->status != 204 && answer->status != 404)
        return unexpected(answer->status, url);
    return WriteResult{};
}

} // namespace dav
