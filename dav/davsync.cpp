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
    // What an item's merge starts from: the version last agreed and the archive's then.
    struct Base
    {
        QByteArray agreed;
        QByteArray view;
    };
    db::Status reconcile(qint64 local, const QString &path, const Base &base,
                         const ServerItem &item, int attempt);
    db::Status create(const QString &path, const ServerItem &item);
    db::Status put(qint64 local, const QString &path, const QByteArray &text, const QString &etag,
                   const Base &base, int attempt);
    // Remembers the item as agreed: the server's version and the archive's now.
    void agree(qint64 local, const QString &path, const QString &etag, const QByteArray &agreed);
    // Writes `text` into the item (0: a new one, whose key goes to `made`), with a note of what
    // the archive could not keep.
    db::Status writeArchive(qint64 local, const QByteArray &text, qint64 *made);
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
    m_report.notes << (m_side.collection() == Collection::Contacts
                           ? QStringLiteral("%1: eliminato sul telefono, ora è annullato in "
                                            "archivio.")
                           : QStringLiteral("%1: eliminato sul telefono, ora è nello storico."))
                          .arg(m_side.describe(local));
    return {};
}

void CollectionRun::agree(qint64 local, const QString &path, const QString &etag,
                          const QByteArray &agreed)
{
    m_state.insert(local, {local, path, etag, QString::fromUtf8(agreed),
                           QString::fromUtf8(m_side.archiveView(local))});
}

db::Status CollectionRun::writeArchive(qint64 local, const QByteArray &text, qint64 *made)
{
    if (db::Status begun = m_writing.begin(); !begun)
        return begun;
    db::Result<qint64> written = m_side.write(m_connection, local, text);
    if (!written)
        return db::Error{
            local ? QStringLiteral("%1: %2").arg(m_side.describe(local), written.message())
                  : QStringLiteral("Un elemento nuovo del telefono: %1").arg(written.message())};
    ++m_counts.updated;
    m_report.notes << m_side.unstored(*written, text);
    if (made)
        *made = *written;
    return {};
}

db::Status CollectionRun::reconcile(qint64 local, const QString &path, const Base &base,
                                    const ServerItem &item, int attempt)
{
    m_handled.insert(local);
    const SyncSide::Outcome outcome = m_side.merge(base.agreed, local, base.view, item.data);
    for (const FieldConflict &conflict : outcome.conflicts)
        m_report.conflicts.append({m_side.describe(local), conflict});
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
        if (!outcome.archiveChanges)
            ++m_counts.updated;
    }
    if (outcome.archiveChanges) {
        if (db::Status written = writeArchive(local, outcome.text, nullptr); !written)
            return written;
    }
    if (!m_side.same(outcome.text, item.data))
        return put(local, path, outcome.text, item.etag, base, attempt);
    agree(local, path, item.etag, item.data);
    return {};
}

db::Status CollectionRun::create(const QString &path, const ServerItem &item)
{
    // The phone's item stays as it is; the archive takes what it can of it.
    qint64 made = 0;
    if (db::Status written = writeArchive(0, item.data, &made); !written)
        return written;
    m_handled.insert(made);
    agree(made, path, item.etag, item.data);
    return {};
}

db::Status CollectionRun::put(qint64 local, const QString &path, const QByteArray &text,
                              const QString &etag, const Base &base, int attempt)
{
    db::Result<WriteResult> written =
        putItem(m_client, m_url, path, m_side.collection(), text, etag);
    if (!written)
        return written.error();
    if (!written->changedMeanwhile) {
        ++m_counts.sent;
        agree(local, path, written->etag, text);
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
        return etag.isEmpty() ? put(local, path, text, QString(), base, attempt + 1)
                              : takeOffPhones(local);
    }
    ++m_counts.received;
    return reconcile(local, path, etag.isEmpty() ? Base{} : base, *now, attempt + 1);
}

db::Status CollectionRun::putNew(qint64 local)
{
    QString folder = m_url.path(QUrl::FullyDecoded);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QString path = folder + m_side.resourceName(local);
    m_handled.insert(local);
    return put(local, path, m_side.archiveView(local), QString(), Base{}, 0);
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
        m_report.notes << QStringLiteral("%1: tolto dai telefoni.").arg(m_side.describe(local));
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
        return reconcile(local, stored.href, {stored.agreed.toUtf8(), stored.archive.toUtf8()},
                         *now, 0);
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
            const SyncedItem was = m_state.value(local);
            if (db::Status ok =
                    reconcile(local, path, {was.agreed.toUtf8(), was.archive.toUtf8()}, *item, 0);
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
            if (db::Status ok = reconcile(matched, path, Base{}, *item, 0); !ok)
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
        const Base base{item.agreed.toUtf8(), item.archive.toUtf8()};
        const QByteArray text = m_side.officeText(item.local, base.agreed, base.view);
        if (text == base.agreed)
            continue;
        if (!m_side.same(text, base.agreed)) {
            if (db::Status ok = put(item.local, item.href, text, item.etag, base, 0); !ok)
                return ok;
            continue;
        }
        // Changed in the office in a way the server does not see: agreed anew as it is.
        agree(item.local, item.href, item.etag, base.agreed);
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
    return QStringLiteral("%1: inviati al server %2, ricevuti dal server %3, aggiornati in "
                          "archivio %4.")
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
        lines << (name == QString::fromUtf8(kAddressBookName)
                      ? QStringLiteral("Creata sul server la rubrica «%1».")
                      : QStringLiteral("Creato sul server il calendario «%1»."))
                     .arg(name);
    const bool nothing = contacts.sent + contacts.received + contacts.updated + agenda.sent +
                             agenda.received + agenda.updated ==
                         0;
    if (nothing && conflicts.isEmpty() && notes.isEmpty())
        lines << QStringLiteral("Nessuna novità: l'archivio e il server erano già in pari.");
    lines << countsLine(QStringLiteral("Contatti"), contacts)
          << countsLine(QStringLiteral("Agenda"), agenda)
          << QStringLiteral("Conflitti: %1.").arg(conflicts.size());
    for (const SyncConflict &c : conflicts)
        lines << QStringLiteral("  conflitto su %1, %2: in archivio «%3», sul telefono «%4»; "
                                "tenuto quello dell'archivio.")
                     .arg(c.item, c.field.field, c.field.office, c.field.phone);
    lines << notes;
    return lines.join(u'\n');
}

db::Result<SyncReport> synchronise(db::Connection &connection, const DavSettings &given,
                                   const SyncOptions &options, const SyncProgress &progress)
{
    const QUrl server = serverUrl(given.server);
    if (!server.isValid() || server.host().isEmpty() ||
        (server.scheme() != u"http" && server.scheme() != u"https"))
        return db::Error{QStringLiteral("Indirizzo del server non valido: «%1» (serve un "
                                        "indirizzo come https://dav.esempio.it/).")
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
