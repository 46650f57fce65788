#include "db/sqlite/sqliteconnection.h"

#include "db/core/datetimes.h"
#include "db/core/privatefiles.h"
#include "db/sqlite/sqlitefunctions.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <cmath>

namespace db {

namespace {

constexpr int kBusyTimeoutMs = 5000;
constexpr qsizetype kMaxCachedStatements = 64;

QString engineText(sqlite3 *handle)
{
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

Error openError(const QString &path, const QString &why)
{
    return Error{QStringLiteral("Impossibile aprire l'archivio %1: %2").arg(path, why)};
}

QVariant currencyValue(double v)
{
    return std::round(v * 10000.0) / 10000.0;
}

QVariant readValue(sqlite3_stmt *stmt, int column, FieldKind kind)
{
    const int storage = sqlite3_column_type(stmt, column);
    switch (storage) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 v = sqlite3_column_int64(stmt, column);
        if (kind == FieldKind::Bool)
            return v != 0;
        if (kind == FieldKind::Currency || kind == FieldKind::Real)
            return double(v);
        return qlonglong(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(stmt, column);
        if (kind == FieldKind::Currency)
            return currencyValue(v);
        if (kind == FieldKind::Bool)
            return v != 0.0;
        return v;
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(stmt, column));
        return QByteArray(data, sqlite3_column_bytes(stmt, column));
    }
    default: {
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                              sqlite3_column_bytes(stmt, column));
        if (kind == FieldKind::Date) {
            const QDateTime date = parseStoredDateTime(text);
            if (date.isValid())
                return date;
        }
        // Anything that does not read as its kind comes back as the text it is, never lost.
        return text;
    }
    }
}

int bindValue(sqlite3_stmt *stmt, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, index);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return sqlite3_bind_int(stmt, index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::UChar:
        return sqlite3_bind_int64(stmt, index, value.toLongLong());
    case QMetaType::ULongLong:
    case QMetaType::ULong:
    case QMetaType::UShort:
        return sqlite3_bind_int64(stmt, index, qint64(value.toULongLong()));
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, index, value.toDouble());
    case QMetaType::QDateTime:
        return bindValue(stmt, index, storedDateTimeText(value.toDateTime()));
    case QMetaType::QDate:
        return bindValue(stmt, index, storedDateTimeText(naiveDateTime(value.toDate())));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, index, bytes.constData(), quint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default: {
        const QString text = value.toString();
        if (text.isNull())
            return sqlite3_bind_null(stmt, index);
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text64(stmt, index, utf8.constData(), quint64(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    }
}

} // namespace

SqliteConnection::SqliteConnection(sqlite3 *handle, QString path)
    : m_db(handle), m_path(std::move(path))
{
}

SqliteConnection::~SqliteConnection()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    sqlite3_close_v2(m_db);
}

Result<std::unique_ptr<SqliteConnection>> SqliteConnection::open(const QString &path, Mode mode)
{
    const QFileInfo info(path);
    if (mode == Mode::Existing) {
        if (!info.exists())
            return openError(path, QStringLiteral("il file non esiste."));
        if (info.isDir())
            return openError(path, QStringLiteral("è una cartella, non un file."));
        if (!info.isReadable())
            return openError(path, QStringLiteral("accesso negato."));
    } else if (info.exists() && (info.size() > 0 || !info.isFile())) {
        return Error{QStringLiteral("Il file %1 esiste già: non viene sovrascritto.").arg(path)};
    }

    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (mode == Mode::CreateNew ? SQLITE_OPEN_CREATE : 0);
    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &handle, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString why = handle ? engineText(handle) : QStringLiteral("memoria esaurita.");
        sqlite3_close_v2(handle);
        return openError(path, why);
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    if (registerSqliteFunctions(handle) != SQLITE_OK) {
        const QString why = engineText(handle);
        sqlite3_close_v2(handle);
        return openError(path, why);
    }
    std::unique_ptr<SqliteConnection> connection(new SqliteConnection(handle, path));
    // The lists read whole tables in index order: a larger page cache saves most of the reads
    // when a large archive's contact list opens. (No memory mapping: an archive on a shared
    // folder that goes away would end the program instead of giving an error.)
    (void)connection->runNative(QStringLiteral("PRAGMA cache_size = -65536"));

    if (mode == Mode::Existing) {
        Result<RowSet> id = connection->runNative(QStringLiteral("PRAGMA application_id"));
        if (!id) {
            const int code = sqlite3_errcode(handle) & 0xff;
            if (code == SQLITE_NOTADB)
                return openError(path, QStringLiteral("il file non è un archivio "
                                                      "(formato non riconosciuto o danneggiato)."));
            if (code == SQLITE_BUSY || code == SQLITE_LOCKED)
                return openError(path,
                                 QStringLiteral("l'archivio è bloccato da un'altra postazione."));
            return openError(path, id.message());
        }
        if (id->rows.isEmpty() || id->rows[0][0].toLongLong() != kArchiveApplicationId)
            return openError(path, QStringLiteral("il file non è un archivio di Calvetra."));
        Result<RowSet> version = connection->runNative(QStringLiteral("PRAGMA user_version"));
        if (!version || version->rows.isEmpty())
            return openError(path, version.message());
        connection->m_formatVersion = version->rows[0][0].toInt();
        if (connection->m_formatVersion < kArchiveFormat &&
            registerFirstFormatNoCase(handle) != SQLITE_OK)
            return openError(path, engineText(handle));
    } else {
        connection->m_formatVersion = kArchiveFormat;
    }
    return connection;
}

void SqliteConnection::setLockWait(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

Status SqliteConnection::markAsArchive(int formatVersion)
{
    Result<RowSet> r =
        runNative(QStringLiteral("PRAGMA application_id = %1").arg(kArchiveApplicationId));
    if (!r)
        return r.error();
    r = runNative(QStringLiteral("PRAGMA user_version = %1").arg(formatVersion));
    if (!r)
        return r.error();
    return {};
}

namespace {

// Reading is all a queries-only connection may do: a SELECT, the tables and columns it reads
// and the functions it calls. A recursive WITH is refused too: it can run for ever.
int onlyReading(void *, int action, const char *, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

} // namespace

void SqliteConnection::allowQueriesOnly()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
    m_statements.clear();
    m_queriesOnly = true;
    sqlite3_set_authorizer(m_db, onlyReading, nullptr);
}

Status SqliteConnection::copyTo(const QString &path)
{
    // Read through a connection of its own: this one may hold a write transaction, which the
    // engine does not copy from. What is committed is what gets copied; while this connection
    // holds its transaction nobody else can change it.
    QFile::remove(path);
    if (Status made = createPrivateFile(path); !made)
        return made;
    sqlite3 *source = nullptr;
    sqlite3 *copy = nullptr;
    int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &source, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(source, kBusyTimeoutMs);
        rc = sqlite3_open_v2(path.toUtf8().constData(), &copy,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    }
    QString why;
    if (rc == SQLITE_OK) {
        sqlite3_backup *backup = sqlite3_backup_init(copy, "main", source, "main");
        if (backup) {
            rc = sqlite3_backup_step(backup, -1);
            const int finished = sqlite3_backup_finish(backup);
            rc = rc == SQLITE_DONE ? finished : rc;
        } else {
            rc = sqlite3_errcode(copy);
        }
        if (rc != SQLITE_OK)
            why = QString::fromUtf8(sqlite3_errmsg(copy));
    } else {
        why = QString::fromUtf8(sqlite3_errstr(rc));
    }
    sqlite3_close_v2(copy);
    sqlite3_close_v2(source);
    if (rc == SQLITE_OK)
        return {};
    QFile::remove(path);
    return Error{
        QStringLiteral("Impossibile scrivere la copia dell'archivio %1: %2").arg(path, why)};
}

Error SqliteConnection::queriesOnlyError() const
{
    return Error{QStringLiteral("Istruzione non permessa: qui l'archivio si può soltanto leggere, "
                                "con una sola interrogazione (SELECT).")};
}

Error SqliteConnection::engineError(int code) const
{
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return Error{QStringLiteral("L'archivio %1 è bloccato da un'altra postazione (%2).")
                         .arg(m_path, engineText(m_db))};
    if (primary == SQLITE_READONLY)
        return Error{
            QStringLiteral("L'archivio %1 è in sola lettura (%2).").arg(m_path, engineText(m_db))};
    if (primary == SQLITE_AUTH)
        return queriesOnlyError();
    return Error{QStringLiteral("Errore del database: %1").arg(engineText(m_db))};
}

Result<sqlite3_stmt *> SqliteConnection::prepare(const QString &sql)
{
    if (sqlite3_stmt *cached = m_statements.value(sql))
        return cached;
    // The engine reads a statement up to its first NUL: what followed (a WHERE) would be
    // dropped without a word.
    if (sql.contains(QChar(0)))
        return Error{QStringLiteral("Il testo SQL contiene un carattere nullo (codice 0): "
                                    "l'istruzione non viene eseguita.")};
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, &tail);
    if (rc != SQLITE_OK)
        return engineError(rc);
    if (!stmt)
        return Error{QStringLiteral("Il testo SQL è vuoto.")};
    // What follows the statement may only be blanks and comments, which prepare to nothing.
    const int rest = int(utf8.constData() + utf8.size() - tail);
    if (rest > 0) {
        sqlite3_stmt *next = nullptr;
        const int nextRc = sqlite3_prepare_v2(m_db, tail, rest, &next, nullptr);
        if (next || nextRc != SQLITE_OK) {
            sqlite3_finalize(next);
            sqlite3_finalize(stmt);
            return Error{QStringLiteral("Il testo SQL contiene più di un'istruzione.")};
        }
    }
    if (m_queriesOnly && !sqlite3_stmt_readonly(stmt)) {
        sqlite3_finalize(stmt);
        return queriesOnlyError();
    }
    // A statement that changes the tables makes the kept ones describe them as they were (a
    // "SELECT *" would name the old columns until its first step): they are prepared anew.
    const QString first = sql.trimmed().section(u' ', 0, 0);
    const bool changesTables = first.compare(u"CREATE", Qt::CaseInsensitive) == 0 ||
                               first.compare(u"ALTER", Qt::CaseInsensitive) == 0 ||
                               first.compare(u"DROP", Qt::CaseInsensitive) == 0;
    if (m_statements.size() >= kMaxCachedStatements || changesTables) {
        for (sqlite3_stmt *old : std::as_const(m_statements))
            sqlite3_finalize(old);
        m_statements.clear();
    }
    m_statements.insert(sql, stmt);
    return stmt;
}

Result<RowSet> SqliteConnection::runNative(const QString &sql, const QVariantList &values)
{
    struct Gather final : RowReceiver
    {
        RowSet set;
        void columns(const QList<Column> &columns) override { set.columns = columns; }
        void row(const QVariantList &values) override { set.rows.append(values); }
    } gather;
    if (Status done = streamNative(sql, values, gather); !done)
        return done.error();
    if (gather.set.columns.isEmpty())
        gather.set.rowsAffected = sqlite3_changes64(m_db);
    return std::move(gather.set);
}

Status SqliteConnection::streamNative(const QString &sql, const QVariantList &values,
                                      RowReceiver &receiver)
{
    Result<sqlite3_stmt *> prepared = prepare(sql);
    if (!prepared)
        return prepared.error();
    sqlite3_stmt *stmt = *prepared;
    struct Reset
    {
        sqlite3_stmt *s;
        ~Reset()
        {
            sqlite3_reset(s);
            sqlite3_clear_bindings(s);
        }
    } reset{stmt};

    if (values.size() != sqlite3_bind_parameter_count(stmt))
        return Error{QStringLiteral("Numero di valori errato per l'istruzione: %1 invece di %2.")
                         .arg(values.size())
                         .arg(sqlite3_bind_parameter_count(stmt))};
    for (int i = 0; i < values.size(); ++i) {
        const int rc = bindValue(stmt, i + 1, values[i]);
        if (rc != SQLITE_OK)
            return engineError(rc);
    }

    QList<Column> columns;
    const int count = sqlite3_column_count(stmt);
    columns.reserve(count);
    for (int c = 0; c < count; ++c) {
        const char *declared = sqlite3_column_decltype(stmt, c);
        columns.append(Column{QString::fromUtf8(sqlite3_column_name(stmt, c)),
                              kindFromDeclaredType(QString::fromUtf8(declared)),
                              QString::fromUtf8(sqlite3_column_table_name(stmt, c)),
                              QString::fromUtf8(sqlite3_column_origin_name(stmt, c))});
    }
    receiver.columns(columns);
    QVariantList row(count);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < count; ++c)
            row[c] = readValue(stmt, c, columns[c].kind);
        receiver.row(row);
    }
    if (rc != SQLITE_DONE)
        return engineError(rc);
    return {};
}

Result<QString> SqliteConnection::keyColumn(const QString &table)
{
    Result<RowSet> info =
        runNative(QStringLiteral("PRAGMA table_info(%1)").arg(m_dialect.quoteIdentifier(table)));
    if (!info)
        return info.error();
    const int name = info->columnIndex(u"name");
    const int pk = info->columnIndex(u"pk");
    for (const QVariantList &row : std::as_const(info->rows)) {
        if (row[pk].toInt() == 1)
            return row[name].toString();
    }
    return Error{QStringLiteral("La tabella %1 non ha una chiave.").arg(table)};
}

Result<QStringList> SqliteConnection::tableNames()
{
    Result<RowSet> rows =
        runNative(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND "
                                 "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name"));
    if (!rows)
        return rows.error();
    return rows->firstColumnTexts();
}

Status SqliteConnection::begin()
{
    Result<RowSet> r = runNative(QStringLiteral("BEGIN IMMEDIATE"));
    return r ? Status() : Status(r.error());
}

Status SqliteConnection::commit()
{
    Result<RowSet> r = runNative(QStringLiteral("COMMIT"));
    if (r)
        return {};
    // A commit refused because another workstation is still reading keeps the transaction,
    // and with it the lock that stops everybody else: give both up now.
    if (!sqlite3_get_autocommit(m_db))
        (void)runNative(QStringLiteral("ROLLBACK"));
    return r.error();
}

void SqliteConnection::releaseMemory()
{
    sqlite3_db_release_memory(m_db);
}

Status SqliteConnection::rollback()
{
    Result<RowSet> r = runNative(QStringLiteral("ROLLBACK"));
    return r ? Status() : Status(r.error());
}

} // namespace db
