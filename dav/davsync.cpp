#include "dav/davsync.h"

#include "common/officeca.h"
#include "dav/agendaside.h"
#include "dav/collectionsync.h"
#include "dav/contactside.h"
#include "dav/discovery.h"
#include "db/core/datetimes.h"

#include <algorithm>
#include <optional>

namespace dav {

namespace {

// The sync's one write transaction, begun at the first change of the archive, so that a sync
// with nothing to write locks nothing.
class Writing
{
public:
    explicit Writing(db::Connection &connection) : m_connection(connection) {}

    db::Status begin()
    {
        if (!m_transaction) {
            m_transaction.emplace(m_connection);
            if (!m_transaction->started())
                return m_transaction->started();
        }
        return {};
    }
    db::Status commit() { return m_transaction ? m_transaction->commit() : db::Status(); }

private:
    db::Connection &m_connection;
    std::optional<db::Transaction> m_transaction;
};

const db::Error kCancelled{QStringLiteral("Sincronizzazione annullata.")};

// A sync that stops writes nothing into the archive.
db::Error failed(const db::Status &status)
{
    return db::Error{status.message() + QStringLiteral("\nL'archivio non è stato cambiato.")};
}

// How many times a write refused because the phone changed the item meanwhile is merged again.
constexpr int kAttempts = 3;

// One collection kept in step with one side of the archive.
class CollectionRun
{
public:
    CollectionRun(db::Connection &connection, DavClient &client, SyncSide &side, QUrl url,
                  Writing &writing, SyncCounts &counts, SyncReport &report,
                  const SyncOptions &options, const SyncProgress &progress)
        : m_connection(connection), m_client(client), m_side(side), m_url(std::move(url)),
          m_writing(writing), m_counts(counts), m_report(report), m_options(options),
          m_progress(progress)
    {
    }

    db::Status run();

private:
    db::Status reconcile(qint64 local, const QString &path, const QByteArray &agreed,
                         const ServerItem &item, int attempt);
    db::Status create(const QString &path, const ServerItem &item);
    db::Status put(qint64 local, const QString &path, const QByteArray &text, const QString &etag,
                   const QByteArray &agreed, int attempt);
    db::Status putNew(qint64 local);
    db::Status remove(qint64 local, const SyncedItem &stored);
    db::Status takeOffPhones(qint64 local);
    std::optional<ServerItem> fetchOne(const QString &path, db::Status &status);
    bool cancelled() const { return m_progress.keepGoing && !m_progress.keepGoing(); }
    void step(int done, int total);
    QString what() const
    {
        return m_side.collection() == Collection::Contacts ? QStringLiteral("Contatti")
                                                           : QStringLiteral("Agenda");
    }

    db::Connection &m_connection;
    DavClient &m_client;
    SyncSide &m_side;
    QUrl m_url;
    Writing &m_writing;
    SyncCounts &m_counts;
    SyncReport &m_report;
    const SyncOptions &m_options;
    const SyncProgress &m_progress;
    QHash<qint64, SyncedItem> m_state; // what will be remembered
    QSet<qint64> m_handled;            // items already dealt with in this sync
};

void CollectionRun::step(int done, int total)
{
    if (m_progress.step)
        m_progress.step(what(), done, total);
}

std::optional<ServerItem> CollectionRun::fetchOne(const QString &path, db::Status &status)
{
    db::Result<QHash<QString, ServerItem>> fetched =
        fetchItems(m_client, m_url, m_side.collection(), {path});
    if (!fetched) {
        status = fetched.error();
        return std::nullopt;
    }
    if (!fetched->contains(path))
        return std::nullopt;
    return fetched->value(path);
}

db::Status CollectionRun::takeOffPhones(qint64 local)
{
    m_state.remove(local);
    m_handled.insert(local);
    if (!m_side.isOnPhones(local))
        return {};
    if (db::Status begun = m_writing.begin(); !begun)
        return begun;
    if (db::Status set = m_side.setOnPhones(m_connection, local, false); !set)
        return set;
    ++m_counts.updated;
    return {};
}

db::Status CollectionRun::reconcile(qint64 local, const QString &path, const QByteArray &agreed,
                                    const ServerItem &item, int attempt)
{
    m_handled.insert(local);
    const SyncSide::Outcome outcome = m_side.merge(agreed, local, item.data);
    for (const FieldConflict &conflict : outcome.conflicts)
        m_report.conflicts.append({m_side.describe(local), conflict});
    bool updated = false;
    if (!m_side.isOnPhones(local)) {
        // Taken off the phones in the office, changed on a phone since: the phone's change
        // brings it back rather than being lost.
        if (db::Status begun = m_writing.begin(); !begun)
            return begun;
        if (db::Status set = m_side.setOnPhones(m_connection, local, true); !set)
            return set;
        m_report.notes << QStringLiteral("%1: cambiato sul telefono dopo essere stato tolto "
                                         "in archivio, torna tra quelli in uso.")
                              .arg(m_side.describe(local));
        updated = true;
    }
    if (outcome.archiveChanges) {
        if (db::Status begun = m_writing.begin(); !begun)
            return begun;
        if (db::Result<qint64> written = m_side.write(m_connection, local, outcome.text); !written)
            return db::Error{
                QStringLiteral("%1: %2").arg(m_side.describe(local), written.message())};
        updated = true;
    }
    if (updated)
        ++m_counts.updated;
    const QByteArray final = m_side.archiveText(local, outcome.text);
    if (outcome.archiveChanges && !m_side.same(final, outcome.text))
        m_report.notes << QStringLiteral("%1: parte di quanto cambiato sul telefono non si può "
                                         "registrare in archivio (un comune che non conosce, "
                                         "una data senza anno): resta il valore dell'archivio.")
                              .arg(m_side.describe(local));
    if (!m_side.same(final, item.data))
        return put(local, path, final, item.etag, agreed.isEmpty() ? item.data : agreed, attempt);
    m_state.insert(local, {local, path, item.etag, QString::fromUtf8(final)});
    return {};
}

db::Status CollectionRun::create(const QString &path, const ServerItem &item)
{
    if (db::Status begun = m_writing.begin(); !begun)
        return begun;
    db::Result<qint64> made = m_side.write(m_connection, 0, item.data);
    if (!made)
        return db::Error{
            QStringLiteral("Un elemento nuovo sul server (%1): %2").arg(path, made.message())};
    ++m_counts.updated;
    m_handled.insert(*made);
    const QByteArray final = m_side.archiveText(*made, item.data);
    if (!m_side.same(final, item.data))
        return put(*made, path, final, item.etag, item.data, 0);
    m_state.insert(*made, {*made, path, item.etag, QString::fromUtf8(final)});
    return {};
}

db::Status CollectionRun::put(qint64 local, const QString &path, const QByteArray &text,
                              const QString &etag, const QByteArray &agreed, int attempt)
{
    db::Result<WriteResult> written =
        putItem(m_client, m_url, path, m_side.collection(), text, etag);
    if (!written)
        return written.error();
    if (!written->changedMeanwhile) {
        ++m_counts.sent;
        m_state.insert(local, {local, path, written->etag, QString::fromUtf8(text)});
        return {};
    }
    // Changed on a phone since it was read: merged again, never overwritten.
    if (attempt + 1 >= kAttempts)
        return db::Error{QStringLiteral("%1 continua a cambiare sul server: riprovare più tardi.")
                             .arg(m_side.describe(local))};
    db::Status status;
    const std::optional<ServerItem> now = fetchOne(path, status);
    if (!status)
        return status;
    if (!now) {
        // Deleted on the phone meanwhile.
        return etag.isEmpty() ? put(local, path, text, QString(), agreed, attempt + 1)
                              : takeOffPhones(local);
    }
    ++m_counts.received;
    return reconcile(local, path, etag.isEmpty() ? QByteArray() : agreed, *now, attempt + 1);
}

db::Status CollectionRun::putNew(qint64 local)
{
    QString folder = m_url.path(QUrl::FullyDecoded);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString path = folder + m_side.resourceName(local);
    m_handled.insert(local);
    return put(local, path, m_side.archiveText(local, QByteArray()), QString(), QByteArray(), 0);
}

db::Status CollectionRun::remove(qint64 local, const SyncedItem &stored)
{
    m_handled.insert(local);
    db::Result<WriteResult> deleted = deleteItem(m_client, m_url, stored.href, stored.etag);
    if (!deleted)
        return deleted.error();
    if (!deleted->changedMeanwhile) {
        ++m_counts.sent;
        m_state.remove(local);
        return {};
    }
    // Changed on a phone after it was taken away in the office: the phone's version stays.
    db::Status status;
    const std::optional<ServerItem> now = fetchOne(stored.href, status);
    if (!status)
        return status;
    m_state.remove(local);
    if (!now)
        return {};
    ++m_counts.received;
    if (m_side.exists(local))
        return reconcile(local, stored.href, stored.agreed.toUtf8(), *now, 0);
    m_report.notes << QStringLiteral("%1: eliminato in archivio ma cambiato sul telefono, "
                                     "ripreso da quanto ha il telefono.")
                          .arg(m_side.describe(local));
    return create(stored.href, *now);
}

db::Status CollectionRun::run()
{
    const Collection kind = m_side.collection();
    const QString url = m_url.toString(QUrl::RemoveUserInfo);
    db::Result<CollectionState> stored = readCollectionState(m_connection, kind, url);
    if (!stored)
        return stored.error();
    m_state = stored->items;
    QHash<QString, qint64> byPath;
    QHash<QString, QString> known;
    for (const SyncedItem &item : std::as_const(stored->items)) {
        byPath.insert(item.href, item.local);
        known.insert(item.href, item.etag);
    }
    step(0, 0);
    db::Result<ServerChanges> changes =
        listChanges(m_client, m_url, stored->syncToken, known, m_options.useSyncCollection);
    if (!changes)
        return changes.error();
    QList<QString> paths = changes->changed.keys();
    std::sort(paths.begin(), paths.end());
    db::Result<QHash<QString, ServerItem>> fetched = fetchItems(m_client, m_url, kind, paths);
    if (!fetched)
        return fetched.error();

    QList<QString> removed(changes->removed.cbegin(), changes->removed.cend());
    for (const QString &path : std::as_const(paths)) {
        if (!fetched->contains(path) && byPath.contains(path))
            removed.append(path); // gone between the listing and the reading
    }
    std::sort(removed.begin(), removed.end());
    for (const QString &path : std::as_const(removed)) {
        if (db::Status ok = takeOffPhones(byPath.value(path)); !ok)
            return ok;
    }

    // The server's changes first, so that a card the archive already has is recognised
    // before the archive's own are sent.
    QSet<qint64> linked(m_state.keyBegin(), m_state.keyEnd());
    const QList<qint64> onPhones = m_side.onPhones();
    const int total = int(paths.size() + stored->items.size() + onPhones.size());
    int done = 0;
    for (const QString &path : std::as_const(paths)) {
        if (cancelled())
            return kCancelled;
        step(++done, total);
        const auto item = fetched->constFind(path);
        if (item == fetched->cend())
            continue;
        if (!m_side.readable(item->data)) {
            m_report.notes << QStringLiteral("%1: un elemento del server non è leggibile (%2), "
                                             "lasciato com'è.")
                                  .arg(what(), path);
            continue;
        }
        ++m_counts.received;
        qint64 local = byPath.value(path);
        if (local && m_side.exists(local)) {
            if (db::Status ok =
                    reconcile(local, path, m_state.value(local).agreed.toUtf8(), *item, 0);
                !ok)
                return ok;
            continue;
        }
        if (local) {
            // Deleted in the office, changed on a phone: the phone's version comes back.
            m_state.remove(local);
            m_report.notes << QStringLiteral("%1: eliminato in archivio ma cambiato sul "
                                             "telefono, ripreso da quanto ha il telefono.")
                                  .arg(m_side.describe(local));
        }
        if (const qint64 matched = m_side.match(item->data, linked)) {
            linked.insert(matched);
            if (db::Status ok = reconcile(matched, path, QByteArray(), *item, 0); !ok)
                return ok;
            continue;
        }
        if (db::Status ok = create(path, *item); !ok)
            return ok;
    }

    // The archive's changes: what changed since the last agreement, what was taken off the
    // phones or deleted, what is new.
    for (const SyncedItem &item : std::as_const(stored->items)) {
        ++done;
        if (m_handled.contains(item.local) || !m_state.contains(item.local))
            continue;
        if (cancelled())
            return kCancelled;
        step(done, total);
        if (!m_side.isOnPhones(item.local)) {
            if (db::Status ok = remove(item.local, item); !ok)
                return ok;
            continue;
        }
        const QByteArray agreed = item.agreed.toUtf8();
        const QByteArray text = m_side.archiveText(item.local, agreed);
        if (m_side.same(text, agreed))
            continue;
        if (db::Status ok = put(item.local, item.href, text, item.etag, agreed, 0); !ok)
            return ok;
    }
    for (qint64 local : onPhones) {
        ++done;
        if (m_state.contains(local) || m_handled.contains(local))
            continue;
        if (cancelled())
            return kCancelled;
        step(done, total);
        if (db::Status ok = putNew(local); !ok)
            return ok;
    }
    step(total, total);

    // The token after the program's own writes, when nobody else wrote meanwhile: the next
    // sync then starts from here rather than reading back what this one sent.
    QString token = changes->syncToken;
    if (m_counts.sent > 0 && !token.isEmpty()) {
        QHash<QString, QString> now;
        for (const SyncedItem &item : std::as_const(m_state))
            now.insert(item.href, item.etag);
        db::Result<ServerChanges> after = listChanges(m_client, m_url, token, now, true);
        if (!after)
            return after.error();
        if (after->changed.isEmpty() && after->removed.isEmpty())
            token = after->syncToken;
    }
    if (m_state == stored->items && token == stored->syncToken)
        return {};
    if (db::Status begun = m_writing.begin(); !begun)
        return begun;
    return writeCollectionState(m_connection, kind, {url, token, m_state});
}

QString countsLine(const QString &what, const SyncCounts &c)
{
    return QStringLiteral("%1: %2 inviati al server, %3 ricevuti dal server, %4 aggiornati in "
                          "archivio.")
        .arg(what)
        .arg(c.sent)
        .arg(c.received)
        .arg(c.updated);
}

} // namespace

QString SyncReport::text() const
{
    QStringList lines;
    for (const QString &name : created)
        lines << QStringLiteral("Creato sul server: %1.").arg(name);
    lines << countsLine(QStringLiteral("Contatti"), contacts)
          << countsLine(QStringLiteral("Agenda"), agenda)
          << QStringLiteral("Conflitti: %1.").arg(conflicts.size());
    for (const SyncConflict &c : conflicts)
        lines << QStringLiteral("conflitto: %1, %2: in archivio «%3», sul telefono «%4»; "
                                "tenuto quello dell'archivio.")
                     .arg(c.item, c.field.field, c.field.office, c.field.phone);
    lines << notes;
    return lines.join(u'\n');
}

db::Result<SyncReport> synchronise(db::Connection &connection, const DavSettings &given,
                                   const SyncOptions &options, const SyncProgress &progress)
{
    const QUrl server(given.server.trimmed(), QUrl::StrictMode);
    if (!server.isValid() || server.host().isEmpty() ||
        (server.scheme() != u"http" && server.scheme() != u"https"))
        return db::Error{QStringLiteral("Indirizzo del server non valido: «%1» (serve un "
                                        "indirizzo http:// o https://).")
                             .arg(given.server.trimmed())};
    DavSettings settings = given;
    if (settings.officeCa.isEmpty()) {
        db::Result<QByteArray> office = readOfficeCa(connection);
        if (!office)
            return office.error();
        settings.officeCa = *office;
    }
    DavClient client(settings);
    if (progress.keepGoing)
        client.setKeepGoing(progress.keepGoing);
    SyncReport report;
    db::Result<Collections> collections = discoverCollections(client, server, true);
    if (!collections)
        return failed(collections.error());
    report.created = collections->created;

    const QDateTime now = options.now.isValid() ? options.now : db::clock::now();
    ContactSide contacts(now.date());
    AgendaSide agenda(options.zone, now);
    for (SyncSide *side : {static_cast<SyncSide *>(&contacts), static_cast<SyncSide *>(&agenda)}) {
        if (db::Status loaded = side->load(connection); !loaded)
            return failed(loaded);
    }
    Writing writing(connection);
    {
        CollectionRun run(connection, client, contacts, collections->addressBook, writing,
                          report.contacts, report, options, progress);
        if (db::Status ok = run.run(); !ok)
            return failed(ok);
    }
    {
        CollectionRun run(connection, client, agenda, collections->calendar, writing, report.agenda,
                          report, options, progress);
        if (db::Status ok = run.run(); !ok)
            return failed(ok);
    }
    if (db::Status committed = writing.commit(); !committed)
        return db::Error{QStringLiteral("Sincronizzazione non registrata in archivio: %1")
                             .arg(committed.message())};
    return report;
}

} // namespace dav
