#include "migration/jetimport.h"

#include "jet/jetarchive.h"
#include "migration/referencemerge.h"
#include "options/adminpassword.h"
#include "schema/archivecreator.h"
#include "schema/referencedata.h"

#include <QHash>

#include <algorithm>
#include <future>

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
    db::Result<TableRows> readOld(const QString &oldName, const QString &table);
    db::Result<TableRows> readNew(const QString &table);
    db::Status insert(const QString &table, const TableRows &rows);
    db::Status clear(const QString &table);
    db::Status adjustOptions(TableRows &options, const QString &oldTypesName);
    void startPasswordKey(const QString &optionsTable);
    db::Status keepCountersPast(const QHash<QString, TableRows> &written);
    bool advance(qint64 rows);

    jet::Archive &m_source;
    db::Connection &m_target;
    const ImportProgress &m_progress;
    QHash<QString, QList<db::Column>> m_layouts;
    // The administrator password's key takes a fraction of a second to derive: it is worked
    // out on another thread while the rows are copied.
    QString m_clearPassword;
    std::future<db::Result<QString>> m_passwordKey;
    ImportSummary m_summary;
    qint64 m_done = 0, m_total = 0;
};

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

db::Result<TableRows> Importer::readOld(const QString &oldName, const QString &table)
{
    const db::Result<QList<jet::Column>> oldColumns = m_source.columns(oldName);
    if (!oldColumns)
        return oldColumns.error();
    const QList<db::Column> &columns = m_layouts[table];
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
            m_summary.leftOut.append(
                QStringLiteral("colonna %1.%2: il programma non la usa").arg(oldName, o.name));
    }
    bool stopped = false;
    const db::Status read = m_source.readRows(oldName, [&](const QVariantList &old) {
        QVariantList row;
        row.reserve(columns.size());
        for (qsizetype c = 0; c < columns.size(); ++c)
            row.append(from[c] < 0 ? QVariant() : converted(old[from[c]], columns[c].kind));
        rows.rows.append(row);
        if (rows.rows.size() % 512 == 0 && !advance(512)) {
            stopped = true;
            return false;
        }
        return true;
    });
    if (!read)
        return read.error();
    if (stopped || !advance(rows.rows.size() % 512))
        return db::Error{QStringLiteral("Importazione annullata: l'archivio nuovo non è stato "
                                        "creato.")};
    return rows;
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

db::Status Importer::insert(const QString &table, const TableRows &rows)
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
    }
    return {};
}

db::Status Importer::adjustOptions(TableRows &options, const QString &oldTypesName)
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
    QHash<qint64, QString> oldExtension;
    if (!oldTypesName.isEmpty()) {
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
        if (number >= 0 && extension >= 0) {
            const db::Status types = m_source.readRows(oldTypesName, [&](const QVariantList &row) {
                oldExtension.insert(row[number].toLongLong(), row[extension].toString());
                return true;
            });
            if (!types)
                return types;
        }
    }
    for (qsizetype r = 0; r < options.rows.size(); ++r) {
        const QVariant type = options.value(r, u"TipoEsportazione");
        if (!type.isValid())
            continue;
        const QString wanted = oldExtension.value(
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

    if (const QString options = oldName.value(QStringLiteral("opzioni")); !options.isEmpty())
        startPasswordKey(options);

    db::Transaction transaction(m_target);
    if (!transaction.started())
        return transaction.started().error();
    if (db::Status created = schema::createTables(m_target, schema::SchemaPart::TablesOnly);
        !created)
        return created.error();
    if (db::Status loaded = schema::loadReferenceData(m_target); !loaded)
        return loaded.error();
    for (const TableRule &rule : kTables) {
        const db::Result<db::RowSet> layout = layoutOf(name(rule.name));
        if (!layout)
            return layout.error();
        m_layouts.insert(name(rule.name), layout->columns);
    }

    QHash<QString, TableRows> written;
    // The rows each table had in the old archive, as the summary tells them.
    QHash<QString, qint64> brought;
    ReferenceLists office, national;
    const std::pair<const char *, TableRows ReferenceLists::*> lists[] = {
        {"regioni", &ReferenceLists::regioni},     {"Province", &ReferenceLists::province},
        {"Nazioni", &ReferenceLists::nazioni},     {"Comuni", &ReferenceLists::comuni},
        {"Indirizzi", &ReferenceLists::indirizzi},
    };
    for (const auto &[table, member] : lists) {
        db::Result<TableRows> ours = readNew(name(table));
        if (!ours)
            return ours.error();
        national.*member = *ours;
        (office.*member).columns = ours->columns;
        if (db::Status cleared = clear(name(table)); !cleared)
            return cleared.error();
    }

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
        db::Result<TableRows> rows = readOld(old, table);
        if (!rows)
            return rows.error();
        if (table == u"opzioni") {
            if (db::Status adjusted = adjustOptions(
                    *rows, oldName.value(QStringLiteral("TipoEsportazioniCrystalReport")));
                !adjusted)
                return adjusted.error();
        }
        if (rule.rule == Rule::Settings && !rows->rows.isEmpty()) {
            if (db::Status cleared = clear(table); !cleared)
                return cleared.error();
        }
        brought.insert(table, rows->rows.size());
        written.insert(table, *rows);
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
    for (const auto &[table, member] : lists)
        written.insert(name(table), office.*member);

    for (const TableRule &rule : kTables) {
        const QString table = name(rule.name);
        const auto rows = written.constFind(table);
        if (rows == written.cend())
            continue;
        if (db::Status done = insert(table, *rows); !done)
            return done.error();
        if (brought.contains(table))
            m_summary.tables.append({table, brought.value(table)});
    }
    if (db::Status counters = keepCountersPast(written); !counters)
        return counters.error();
    if (db::Status indexed = schema::createTables(m_target, schema::SchemaPart::IndexesOnly);
        !indexed)
        return indexed.error();
    if (m_progress && !m_progress(m_total, m_total))
        return db::Error{QStringLiteral("Importazione annullata: l'archivio nuovo non è stato "
                                        "creato.")};
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
