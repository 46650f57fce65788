#include "migration/jetimport.h"

#include "jet/jetarchive.h"
#include "migration/referencemerge.h"
#include "options/adminpassword.h"
#include "schema/archivecreator.h"
#include "schema/referencedata.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include <cmath>

namespace migration {

namespace {

enum class Rule
{
    Office,    // every row, with its key
    Reference, // merged with the national lists
    Settings,  // the office's rows replace the new archive's
    Scratch,   // a workstation's work in progress: left behind
    Ours,      // the program's own list: kept, the office's left out
};

struct TableRule
{
    const char *name;
    const char *key;
    Rule rule;
    bool counter;
};

// In the order they are written: what a row points at comes before it.
const TableRule kTables[] = {
    {"Categorie", "Id", Rule::Office, true},
    {"Professioni", "Id", Rule::Office, true},
    {"Titoli", "Id", Rule::Office, true},
    {"Sesso", "Sesso", Rule::Settings, false},
    {"TipoPagamenti", "Id", Rule::Office, true},
    {"TipologiaCalendario", "Id", Rule::Office, true},
    {"regioni", "IDRegione", Rule::Reference, false},
    {"Province", "CODPROV", Rule::Reference, false},
    {"Nazioni", "IDNazione", Rule::Reference, false},
    {"Comuni", "ID", Rule::Reference, true},
    {"Indirizzi", "id_cap", Rule::Reference, false},
    {"Contatti", "ID", Rule::Office, true},
    {"Calendario", "Id", Rule::Office, true},
    {"Pagamenti", "Id", Rule::Office, true},
    {"Avvisi", "Id", Rule::Office, true},
    {"Griglie", "Id", Rule::Office, true},
    {"Personalizzazioni", "Id", Rule::Office, true},
    {"opzioni", "Id", Rule::Settings, false},
    {"ditta", "Id", Rule::Settings, true},
    {"TipoEsportazioniCrystalReport", "Numero", Rule::Ours, false},
    {"TempStampa", "Id", Rule::Scratch, true},
    {"TempAvvisi", "Id", Rule::Scratch, true},
    {"TempAvvisiContatti", "Id", Rule::Scratch, true},
};

// Keys that rows of one table hold of another's rows.
struct Pointer
{
    const char *table, *column, *target;
};
const Pointer kPointers[] = {
    {"Pagamenti", "Contatto_ID", "Contatti"},
    {"Calendario", "Cliente_ID", "Contatti"},
    {"TempAvvisiContatti", "Contatto_ID", "Contatti"},
    {"Contatti", "Categoria_ID", "Categorie"},
    {"Contatti", "Professione_id", "Professioni"},
    {"Contatti", "Titolo_id", "Titoli"},
    {"Contatti", "Citta_ID", "Comuni"},
    {"Contatti", "UfficioComune_id", "Comuni"},
    {"Contatti", "LuogoNascita_Id", "Comuni"},
    {"Indirizzi", "Comune_ID", "Comuni"},
};

QString name(const char *text)
{
    return QString::fromLatin1(text);
}

// A value of the old archive as a column of the new one holds it.
QVariant converted(const QVariant &value, db::FieldKind kind)
{
    if (!value.isValid())
        return {};
    switch (kind) {
    case db::FieldKind::Text:
    case db::FieldKind::Memo:
        return value.typeId() == QMetaType::QString ? value : QVariant(value.toString());
    case db::FieldKind::Integer:
        if (value.typeId() == QMetaType::Double)
            return qint64(std::llround(value.toDouble()));
        return value.toLongLong();
    case db::FieldKind::Real:
    case db::FieldKind::Currency:
        return value.toDouble();
    case db::FieldKind::Bool:
        return value.typeId() == QMetaType::Bool ? value.toBool() : value.toLongLong() != 0;
    default:
        return value;
    }
}

// The old archive's tables, read one after the other on a thread of their own while the new
// archive is written on the caller's: the two take about as long, and the processor's second
// core is otherwise idle. A large table comes in pieces, so that its first rows are written
// while the rest are read. The Jet reader is used by that thread only while it runs.
class TableReader
{
public:
    struct Piece
    {
        QString table;                            // the program's name
        db::Result<TableRows> rows = TableRows(); // the next rows, or why reading failed
        QStringList leftOut; // with a table's first piece: the columns left out
        bool last = false;   // the table's last piece
    };
    // Reads the old table `oldName` into the program's `table`, handing over its rows a piece
    // at a time through `deliver`, until `stop` is set.
    using Read = std::function<db::Status(const QString &oldName, const QString &table,
                                          QStringList *leftOut, const std::atomic_bool &stop,
                                          const std::function<void(TableRows &&)> &deliver)>;

    // `tables`: the program's name and the old archive's, in the order they are wanted.
    TableReader(QList<std::pair<QString, QString>> tables, Read read)
        : m_thread([this, tables = std::move(tables), read = std::move(read)] {
              for (const auto &[table, old] : tables) {
                  QStringList leftOut;
                  bool first = true;
                  const db::Status done = read(old, table, &leftOut, m_stop, [&](TableRows &&rows) {
                      push({table, std::move(rows), first ? leftOut : QStringList(), false});
                      first = false;
                  });
                  if (!done) {
                      push({table, done.error(), {}, true});
                      return;
                  }
                  push({table, TableRows(), first ? leftOut : QStringList(), true});
                  if (m_stop)
                      return;
              }
          })
    {
    }
    ~TableReader()
    {
        m_stop = true;
        m_thread.join();
    }

    // The next piece, waiting for it to be read.
    Piece next()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_ready.empty(); });
        Piece piece = std::move(m_ready.front());
        m_ready.pop_front();
        return piece;
    }

private:
    void push(Piece piece)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_ready.push_back(std::move(piece));
        }
        m_changed.notify_one();
    }

    std::atomic_bool m_stop = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Piece> m_ready;
    std::thread m_thread; // last: it starts once everything it uses exists
};

class Importer
{
public:
    Importer(jet::Archive &source, db::Connection &target, const ImportProgress &progress)
        : m_source(source), m_target(target), m_progress(progress)
    {
    }

    db::Result<ImportSummary> run();

private:
    db::Result<db::RowSet> layoutOf(const QString &table);
    db::Status readOld(const QString &oldName, const QString &table, QStringList *leftOut,
                       const std::atomic_bool &stop,
                       const std::function<void(TableRows &&)> &deliver) const;
    db::Result<TableRows> readNew(const QString &table);
    // `counted`: the rows are the old archive's, and count for the progress.
    db::Status insert(const QString &table, const TableRows &rows, bool counted);
    db::Status clear(const QString &table);
    db::Status readOldExtensions(const QString &oldTypesName);
    db::Status adjustOptions(TableRows &options);
    void startPasswordKey(const QString &optionsTable);
    db::Status keepCountersPast(const QHash<QString, TableRows> &written);
    bool advance(qint64 rows);

    jet::Archive &m_source;
    db::Connection &m_target;
    const ImportProgress &m_progress;
    QHash<QString, QList<db::Column>> m_layouts;
    // The old export formats' extensions by their number.
    QHash<qint64, QString> m_oldExtension;
    // The administrator password's key takes a fraction of a second to derive: it is worked
    // out on another thread while the rows are copied.
    QString m_clearPassword;
    std::future<db::Result<QString>> m_passwordKey;
    ImportSummary m_summary;
    qint64 m_done = 0, m_total = 0;
};

// Rows a piece of a table handed from the reading thread to the writing one.
constexpr qsizetype kPieceRows = 2048;

db::Error cancelled()
{
    return db::Error{
        QStringLiteral("Importazione annullata: l'archivio nuovo non è stato creato.")};
}

bool Importer::advance(qint64 rows)
{
    m_done += rows;
    return !m_progress || m_progress(m_done, m_total);
}

db::Result<db::RowSet> Importer::layoutOf(const QString &table)
{
    return m_target.runNative(QStringLiteral("SELECT * FROM %1 WHERE 1 = 0")
                                  .arg(m_target.dialect().quoteIdentifier(table)));
}

db::Status Importer::readOld(const QString &oldName, const QString &table, QStringList *leftOut,
                             const std::atomic_bool &stop,
                             const std::function<void(TableRows &&)> &deliver) const
{
    const db::Result<QList<jet::Column>> oldColumns = m_source.columns(oldName);
    if (!oldColumns)
        return oldColumns.error();
    const QList<db::Column> columns = m_layouts.value(table);
    TableRows rows;
    // Where each new column's value is in an old row, -1 when the old table lacks it.
    QList<int> from;
    for (const db::Column &c : columns) {
        rows.columns.append(c.name);
        int found = -1;
        for (qsizetype o = 0; o < oldColumns->size(); ++o) {
            if (oldColumns->at(o).name.compare(c.name, Qt::CaseInsensitive) == 0)
                found = int(o);
        }
        from.append(found);
    }
    for (const jet::Column &o : *oldColumns) {
        bool known = false;
        for (const db::Column &c : columns)
            known = known || o.name.compare(c.name, Qt::CaseInsensitive) == 0;
        if (!known)
            leftOut->append(
                QStringLiteral("colonna %1.%2: il programma non la usa").arg(oldName, o.name));
    }
    const auto handOver = [&] {
        TableRows piece;
        piece.columns = rows.columns;
        std::swap(piece.rows, rows.rows);
        deliver(std::move(piece));
    };
    const db::Status read = m_source.readRows(oldName, [&](const QVariantList &old) {
        QVariantList row;
        row.reserve(columns.size());
        for (qsizetype c = 0; c < columns.size(); ++c)
            row.append(from[c] < 0 ? QVariant() : converted(old[from[c]], columns[c].kind));
        rows.rows.append(std::move(row));
        if (rows.rows.size() == kPieceRows)
            handOver();
        return !stop.load(std::memory_order_relaxed);
    });
    if (!read)
        return read;
    if (stop)
        return cancelled();
    if (!rows.rows.isEmpty())
        handOver();
    return {};
}

db::Result<TableRows> Importer::readNew(const QString &table)
{
    const db::Result<db::RowSet> all = m_target.runNative(
        QStringLiteral("SELECT * FROM %1").arg(m_target.dialect().quoteIdentifier(table)));
    if (!all)
        return all.error();
    TableRows rows;
    for (const db::Column &c : all->columns)
        rows.columns.append(c.name);
    rows.rows = all->rows;
    return rows;
}

db::Status Importer::clear(const QString &table)
{
    const db::Result<db::RowSet> done = m_target.runNative(
        QStringLiteral("DELETE FROM %1").arg(m_target.dialect().quoteIdentifier(table)));
    return done ? db::Status() : done.error();
}

db::Status Importer::insert(const QString &table, const TableRows &rows, bool counted)
{
    if (rows.rows.isEmpty())
        return {};
    const db::Dialect &dialect = m_target.dialect();
    QStringList names, marks;
    for (const QString &c : rows.columns) {
        names.append(dialect.quoteIdentifier(c));
        marks.append(QStringLiteral("?"));
    }
    // Many rows a statement: far fewer statements to run, well inside every engine's limit of
    // bound values.
    const qsizetype perStatement = std::clamp<qsizetype>(20000 / rows.columns.size(), 1, 64);
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(dialect.quoteIdentifier(table), names.join(QStringLiteral(", ")));
    const QString tuple = u'(' + marks.join(QStringLiteral(", ")) + u')';
    QString sql;
    qsizetype sqlRows = 0;
    QVariantList values;
    for (qsizetype first = 0; first < rows.rows.size(); first += perStatement) {
        const qsizetype count = std::min(perStatement, rows.rows.size() - first);
        if (count != sqlRows) {
            QStringList tuples(count, tuple);
            sql = head + tuples.join(QStringLiteral(", "));
            sqlRows = count;
        }
        values.clear();
        for (qsizetype r = first; r < first + count; ++r)
            values.append(rows.rows[r]);
        if (db::Result<db::RowSet> done = m_target.runNative(sql, values); !done)
            return db::Error{QStringLiteral("Tabella %1: %2").arg(table, done.message())};
        if (counted && !advance(count))
            return cancelled();
    }
    return {};
}

db::Status Importer::readOldExtensions(const QString &oldTypesName)
{
    if (oldTypesName.isEmpty())
        return {};
    const db::Result<QList<jet::Column>> columns = m_source.columns(oldTypesName);
    if (!columns)
        return columns.error();
    int number = -1, extension = -1;
    for (qsizetype c = 0; c < columns->size(); ++c) {
        if (columns->at(c).name.compare(u"Numero", Qt::CaseInsensitive) == 0)
            number = int(c);
        if (columns->at(c).name.compare(u"Estensione", Qt::CaseInsensitive) == 0)
            extension = int(c);
    }
    if (number < 0 || extension < 0)
        return {};
    return m_source.readRows(oldTypesName, [&](const QVariantList &row) {
        m_oldExtension.insert(row[number].toLongLong(), row[extension].toString());
        return true;
    });
}

db::Status Importer::adjustOptions(TableRows &options)
{
    for (qsizetype r = 0; r < options.rows.size(); ++r) {
        const QString password = options.value(r, u"PasswordAmministratore").toString();
        if (isClearPassword(password)) {
            const db::Result<QString> key = password == m_clearPassword && m_passwordKey.valid()
                                                ? m_passwordKey.get()
                                                : derivePasswordKey(password);
            if (!key)
                return key.error();
            options.set(r, u"PasswordAmministratore", *key);
        }
    }
    // The export format: the program's own list, found by the old format's extension.
    const db::Result<TableRows> ours = readNew(QStringLiteral("TipoEsportazioniCrystalReport"));
    if (!ours)
        return ours.error();
    for (qsizetype r = 0; r < options.rows.size(); ++r) {
        const QVariant type = options.value(r, u"TipoEsportazione");
        if (!type.isValid())
            continue;
        const QString wanted = m_oldExtension.value(
            type.toLongLong(), options.value(r, u"EstensioneEsportazione").toString());
        qint64 found = 0;
        QString foundExtension;
        for (qsizetype o = 0; o < ours->rows.size() && found == 0; ++o) {
            if (nameKey(ours->value(o, u"Estensione").toString()) == nameKey(wanted)) {
                found = ours->value(o, u"Numero").toLongLong();
                foundExtension = ours->value(o, u"Estensione").toString();
            }
        }
        if (found == 0) {
            found = 1;
            foundExtension = QStringLiteral("pdf");
            m_summary.leftOut.append(
                QStringLiteral("formato di esportazione «%1»: non disponibile, impostato PDF")
                    .arg(wanted));
        }
        options.set(r, u"TipoEsportazione", found);
        options.set(r, u"EstensioneEsportazione", foundExtension);
    }
    return {};
}

void Importer::startPasswordKey(const QString &optionsTable)
{
    const db::Result<QList<jet::Column>> columns = m_source.columns(optionsTable);
    if (!columns)
        return;
    int column = -1;
    for (qsizetype c = 0; c < columns->size(); ++c) {
        if (columns->at(c).name.compare(u"PasswordAmministratore", Qt::CaseInsensitive) == 0)
            column = int(c);
    }
    if (column < 0)
        return;
    (void)m_source.readRows(optionsTable, [&](const QVariantList &row) {
        m_clearPassword = row[column].toString();
        return false;
    });
    if (isClearPassword(m_clearPassword))
        m_passwordKey = std::async(std::launch::async, derivePasswordKey, m_clearPassword);
}

db::Status Importer::keepCountersPast(const QHash<QString, TableRows> &written)
{
    const db::Dialect &dialect = m_target.dialect();
    for (const TableRule &rule : kTables) {
        if (!rule.counter || rule.rule == Rule::Scratch)
            continue;
        const QString table = name(rule.name);
        qint64 highest = 0;
        if (const auto rows = written.constFind(table); rows != written.cend()) {
            highest = rows->highest(name(rule.key));
        }
        qint64 pointed = 0;
        for (const Pointer &p : kPointers) {
            if (table != name(p.target))
                continue;
            if (const auto rows = written.constFind(name(p.table)); rows != written.cend()) {
                pointed = std::max(pointed, rows->highest(name(p.column)));
            }
        }
        if (pointed <= highest)
            continue;
        // A row with the highest key pointed at, written and taken away again, leaves the
        // counter past it on every engine.
        const QString key = dialect.quoteIdentifier(name(rule.key));
        const QString quoted = dialect.quoteIdentifier(table);
        db::Result<db::RowSet> done = m_target.runNative(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(quoted, key), {pointed});
        if (done)
            done = m_target.runNative(
                QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(quoted, key), {pointed});
        if (!done)
            return done.error();
    }
    return {};
}

db::Result<ImportSummary> Importer::run()
{
    // The old archive's tables, found by name whatever their letter case.
    QHash<QString, QString> oldName; // the program's name -> the old archive's
    for (const QString &table : m_source.tables()) {
        bool known = false;
        for (const TableRule &rule : kTables) {
            if (table.compare(QLatin1String(rule.name), Qt::CaseInsensitive) == 0) {
                oldName.insert(name(rule.name), table);
                known = true;
            }
        }
        if (!known) {
            const db::Result<qint64> rows = m_source.rowCount(table);
            m_summary.leftOut.append(
                QStringLiteral("tabella %1 (%2 righe): il programma non la usa")
                    .arg(table)
                    .arg(rows ? *rows : 0));
        }
    }
    for (const TableRule &rule : kTables) {
        const QString old = oldName.value(name(rule.name));
        if (old.isEmpty() || rule.rule == Rule::Scratch || rule.rule == Rule::Ours)
            continue;
        const db::Result<qint64> rows = m_source.rowCount(old);
        if (!rows)
            return rows.error();
        m_total += *rows;
    }

    // The national lists are read from the program's own files beside everything else.
    std::future<db::Result<QList<schema::ReferenceTable>>> shippedLists =
        std::async(std::launch::async, schema::nationalLists);
    if (const QString options = oldName.value(QStringLiteral("opzioni")); !options.isEmpty())
        startPasswordKey(options);
    if (db::Status read =
            readOldExtensions(oldName.value(QStringLiteral("TipoEsportazioniCrystalReport")));
        !read)
        return read.error();

    db::Transaction transaction(m_target);
    if (!transaction.started())
        return transaction.started().error();
    if (db::Status created = schema::createTables(m_target, schema::SchemaPart::TablesOnly);
        !created)
        return created.error();
    for (const TableRule &rule : kTables) {
        const db::Result<db::RowSet> layout = layoutOf(name(rule.name));
        if (!layout)
            return layout.error();
        m_layouts.insert(name(rule.name), layout->columns);
    }

    // The tables to bring across, read beside the writing from here on.
    QList<std::pair<QString, QString>> toRead;
    for (const TableRule &rule : kTables) {
        const QString table = name(rule.name);
        const QString old = oldName.value(table);
        if (old.isEmpty())
            continue;
        if (rule.rule == Rule::Scratch) {
            m_summary.leftOut.append(
                QStringLiteral("tabella %1: lavori in corso delle postazioni, non servono")
                    .arg(old));
            continue;
        }
        if (rule.rule == Rule::Ours) {
            m_summary.leftOut.append(
                QStringLiteral("tabella %1: il programma usa i propri formati di esportazione")
                    .arg(old));
            continue;
        }
        toRead.append({table, old});
    }
    TableReader reader(toRead, [this](const QString &old, const QString &table,
                                      QStringList *leftOut, const std::atomic_bool &stop,
                                      const std::function<void(TableRows &&)> &deliver) {
        return readOld(old, table, leftOut, stop, deliver);
    });

    // Meanwhile the new archive's first rows.
    if (db::Status loaded = schema::loadFirstRows(m_target); !loaded)
        return loaded.error();
    // Each table written as soon as it is read; the reference lists wait for the merge.
    QHash<QString, TableRows> written;
    // The rows each table had in the old archive, as the summary tells them.
    QHash<QString, qint64> brought;
    QSet<QString> withIndexes;
    for (qsizetype t = 0; t < toRead.size();) {
        TableReader::Piece piece = reader.next();
        if (!piece.rows)
            return piece.rows.error();
        m_summary.leftOut.append(piece.leftOut);
        const QString &table = piece.table;
        TableRows &rows = *piece.rows;
        const TableRule &rule =
            *std::find_if(std::begin(kTables), std::end(kTables),
                          [&](const TableRule &r) { return name(r.name) == table; });
        const bool first = !brought.contains(table);
        brought[table] += rows.rows.size();
        if (table == u"opzioni") {
            if (db::Status adjusted = adjustOptions(rows); !adjusted)
                return adjusted.error();
        }
        // The office's settings replace the new archive's, when it has any.
        if (rule.rule == Rule::Settings && first && !piece.last) {
            if (db::Status cleared = clear(table); !cleared)
                return cleared.error();
        }
        // The reference lists wait for the merge; the rest is written as it comes.
        if (rule.rule != Rule::Reference) {
            if (db::Status done = insert(table, rows, true); !done)
                return done.error();
        }
        TableRows &kept = written[table];
        if (kept.columns.isEmpty()) {
            for (const db::Column &c : m_layouts.value(table))
                kept.columns.append(c.name);
        }
        kept.rows.append(std::move(rows.rows));
        if (piece.last) {
            // Its indexes at once, built while the next tables are read.
            if (rule.rule != Rule::Reference) {
                if (db::Status done = schema::createIndexes(m_target, table); !done)
                    return done.error();
                withIndexes.insert(table);
            }
            ++t;
        }
    }

    // The national lists, in the new archive's order of columns, to be merged with the office's.
    const db::Result<QList<schema::ReferenceTable>> nationalLists = shippedLists.get();
    if (!nationalLists)
        return nationalLists.error();
    ReferenceLists office, national;
    const std::pair<const char *, TableRows ReferenceLists::*> lists[] = {
        {"regioni", &ReferenceLists::regioni},     {"Province", &ReferenceLists::province},
        {"Nazioni", &ReferenceLists::nazioni},     {"Comuni", &ReferenceLists::comuni},
        {"Indirizzi", &ReferenceLists::indirizzi},
    };
    for (const auto &[table, member] : lists) {
        // In the order of the new archive's columns, as the office's rows are.
        TableRows &rows = national.*member;
        for (const db::Column &c : m_layouts.value(name(table)))
            rows.columns.append(c.name);
        (office.*member).columns = rows.columns;
        for (const schema::ReferenceTable &shipped : *nationalLists) {
            if (shipped.table.compare(name(table), Qt::CaseInsensitive) != 0)
                continue;
            QList<int> from;
            for (const QString &column : std::as_const(rows.columns)) {
                int found = -1;
                for (qsizetype c = 0; c < shipped.columns.size(); ++c) {
                    if (shipped.columns[c].compare(column, Qt::CaseInsensitive) == 0)
                        found = int(c);
                }
                from.append(found);
            }
            rows.rows.reserve(shipped.rows.size());
            for (const QVariantList &values : shipped.rows) {
                QVariantList row;
                row.reserve(from.size());
                for (int f : std::as_const(from))
                    row.append(f < 0 ? QVariant() : values[f]);
                rows.rows.append(std::move(row));
            }
        }
    }

    // The office's municipalities keep their keys; the national ones come after every key the
    // office has or still points at.
    for (const auto &[table, member] : lists) {
        if (const auto rows = written.constFind(name(table)); rows != written.cend())
            office.*member = *rows;
    }
    qint64 firstFree = office.comuni.highest(u"ID") + 1;
    for (const Pointer &p : kPointers) {
        if (name(p.target) != u"Comuni")
            continue;
        if (const auto rows = written.constFind(name(p.table)); rows != written.cend()) {
            firstFree = std::max(firstFree, rows->highest(name(p.column)) + 1);
        }
    }
    const MergeCounts merged = mergeReferenceLists(office, national, firstFree);
    m_summary.comuniAdded = merged.comuniAdded;
    m_summary.indirizziAdded = merged.indirizziAdded;
    for (const auto &[table, member] : lists) {
        written.insert(name(table), office.*member);
        if (db::Status done = insert(name(table), office.*member, false); !done)
            return done.error();
        if (db::Status indexed = schema::createIndexes(m_target, name(table)); !indexed)
            return indexed.error();
        withIndexes.insert(name(table));
        if (!advance(brought.value(name(table))))
            return cancelled();
    }
    for (const TableRule &rule : kTables) {
        if (const auto rows = brought.constFind(name(rule.name)); rows != brought.cend())
            m_summary.tables.append({name(rule.name), *rows});
    }
    if (db::Status counters = keepCountersPast(written); !counters)
        return counters.error();
    for (const TableRule &rule : kTables) {
        if (withIndexes.contains(name(rule.name)))
            continue;
        if (db::Status done = schema::createIndexes(m_target, name(rule.name)); !done)
            return done.error();
    }
    if (m_progress && !m_progress(m_total, m_total))
        return cancelled();
    if (db::Status committed = transaction.commit(); !committed)
        return committed.error();
    return m_summary;
}

} // namespace

db::Result<ImportSummary> importJetArchive(jet::Archive &source, db::Connection &empty,
                                           const ImportProgress &progress)
{
    return Importer(source, empty, progress).run();
}

QString describeImport(const ImportSummary &summary)
{
    QStringList lines;
    for (const ImportedTable &t : summary.tables)
        lines.append(QStringLiteral("%1\t%2").arg(t.table).arg(t.rows));
    if (summary.comuniAdded > 0 || summary.indirizziAdded > 0)
        lines.append(QStringLiteral("Dall'elenco nazionale: %1 comuni e %2 codici di avviamento "
                                    "postale aggiunti a quelli dell'archivio.")
                         .arg(summary.comuniAdded)
                         .arg(summary.indirizziAdded));
    for (const QString &left : summary.leftOut)
        lines.append(QStringLiteral("Non importato: ") + left);
    return lines.join(u'\n');
}

} // namespace migration
