#include "db/postgres/pgconnection.h"

#include "db/core/datetimes.h"
#include "db/sql/sqltokenizer.h"

#include <QRegularExpression>

#include <libpq-fe.h>

#include <cmath>

namespace db {

namespace {

// Type numbers of the server's built-in types.
enum : Oid
{
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kDate = 1082,
    kTimestamp = 1114,
    kTimestampTz = 1184,
    kNumeric = 1700,
};

constexpr qsizetype kMaxPrepared = 256;
constexpr int kLockWaitMs = 5000;

// NUMERIC(19,4), the type of amounts, as the server reports it for a column.
constexpr int kCurrencyModifier = ((19 << 16) | 4) + 4;

PasswordPrompt &passwordPrompt()
{
    static PasswordPrompt prompt;
    return prompt;
}

QString serverText(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

FieldKind kindOf(Oid type, int modifier)
{
    switch (type) {
    case kBool:
        return FieldKind::Bool;
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return FieldKind::Integer;
    case kFloat4:
    case kFloat8:
        return FieldKind::Real;
    case kNumeric:
        return modifier == kCurrencyModifier ? FieldKind::Currency : FieldKind::Real;
    case kVarchar:
    case kBpchar:
        return FieldKind::Text;
    case kText:
        return FieldKind::Memo;
    case kDate:
    case kTimestamp:
    case kTimestampTz:
        return FieldKind::Date;
    case kBytea:
        return FieldKind::Binary;
    default:
        return FieldKind::Unknown;
    }
}

QVariant readValue(const char *text, int length, Oid type, FieldKind kind)
{
    const QString value = QString::fromUtf8(text, length);
    switch (type) {
    case kBool:
        return value == u"t";
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return value.toLongLong();
    case kFloat4:
    case kFloat8:
        return value.toDouble();
    case kNumeric: {
        const double v = value.toDouble();
        return kind == FieldKind::Currency ? std::round(v * 10000.0) / 10000.0 : v;
    }
    case kDate:
    case kTimestamp:
    case kTimestampTz: {
        const QDateTime date = parseStoredDateTime(value.left(19));
        // Anything that does not read as a date (infinity, a year before Christ) stays text.
        return date.isValid() ? QVariant(date) : QVariant(value);
    }
    case kBytea:
        return QByteArray::fromHex(QByteArray(text, length).mid(2));
    default:
        return value;
    }
}

// A value as the server reads it in place of a parameter of any type: texts in the forms the
// server's input functions accept, yes/no as 1 and 0 (read by a yes/no or a number column).
QByteArray parameterText(const QVariant &value, bool *binary)
{
    *binary = false;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? "1" : "0";
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDateTime:
        return storedDateTimeText(value.toDateTime()).toUtf8();
    case QMetaType::QDate:
        return storedDateTimeText(naiveDateTime(value.toDate())).toUtf8();
    case QMetaType::QByteArray:
        *binary = true;
        return value.toByteArray();
    default:
        return value.toString().toUtf8();
    }
}

bool isNull(const QVariant &value)
{
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().isNull());
}

Error openError(const QString &server, const QString &why)
{
    return Error{
        QStringLiteral("Impossibile collegarsi all'archivio sul server %1: %2").arg(server, why)};
}

QString serverName(PGconn *handle)
{
    const QString host = QString::fromUtf8(PQhost(handle));
    const QString port = QString::fromUtf8(PQport(handle));
    return QStringLiteral("%1:%2/%3")
        .arg(host.startsWith(u'/') ? QStringLiteral("localhost") : host, port,
             QString::fromUtf8(PQdb(handle)));
}

// The same location for messages before a connection exists: the address without a password.
QString describedLocation(const QString &location)
{
    QString shown = location;
    shown.replace(QRegularExpression(QStringLiteral("(://[^:@/]*):[^@/]*@")),
                  QStringLiteral("\\1@"));
    shown.replace(QRegularExpression(QStringLiteral("password\\s*=\\s*('[^']*'|\\S*)")),
                  QStringLiteral("password=***"));
    return shown;
}

PGconn *connectTo(const QString &location, const QByteArray &password)
{
    // Every wait on the network has an end: the connection, and a server that stops answering.
    QList<QByteArray> keys = {"connect_timeout",     "keepalives",       "keepalives_idle",
                              "keepalives_interval", "keepalives_count", "tcp_user_timeout",
                              "application_name",    "client_encoding",  "dbname"};
    QList<QByteArray> values = {
        "10", "1", "30", "10", "3", "30000", "Calvetra", "UTF8", location.toUtf8()};
    if (!password.isNull()) {
        keys.append("password");
        values.append(password);
    }
    QList<const char *> keyPointers;
    QList<const char *> valuePointers;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        keyPointers.append(keys[i].constData());
        valuePointers.append(values[i].constData());
    }
    keyPointers.append(nullptr);
    valuePointers.append(nullptr);
    return PQconnectdbParams(keyPointers.constData(), valuePointers.constData(), 1);
}

const char kSessionSetup[] =
    "SET lock_timeout = 5000; SET DateStyle = 'ISO, YMD'; SET bytea_output = 'hex'; "
    "SET extra_float_digits = 1; SET standard_conforming_strings = on";

} // namespace

void PgConnection::setPasswordPrompt(PasswordPrompt prompt)
{
    passwordPrompt() = std::move(prompt);
}

PgConnection::PgConnection(PGconn *handle) : m_db(handle), m_server(serverName(handle)) {}

PgConnection::~PgConnection()
{
    PQfinish(m_db);
}

Result<std::unique_ptr<PgConnection>> PgConnection::open(const QString &location, Mode mode)
{
    const QString shown = describedLocation(location);
    PGconn *handle = connectTo(location, QByteArray());
    if (PQstatus(handle) != CONNECTION_OK && PQconnectionNeedsPassword(handle) &&
        passwordPrompt()) {
        const std::optional<QString> password = passwordPrompt()(shown);
        if (!password) {
            PQfinish(handle);
            return openError(shown, QStringLiteral("password non indicata."));
        }
        PQfinish(handle);
        // The password lives in the connection only, for as long as it is open.
        handle = connectTo(location, password->toUtf8());
    }
    if (PQstatus(handle) != CONNECTION_OK) {
        const QString why = serverText(PQerrorMessage(handle));
        PQfinish(handle);
        return openError(shown, why);
    }
    std::unique_ptr<PgConnection> connection(new PgConnection(handle));
    if (Status ready = connection->simple(kSessionSetup); !ready)
        return openError(shown, ready.message());

    if (mode == Mode::Existing) {
        Result<RowSet> mark = connection->runNative(
            QStringLiteral("SELECT to_regproc('calvetra_install_counters') IS NOT NULL "
                           "AND to_regclass('contatti') IS NOT NULL"));
        if (!mark)
            return openError(shown, mark.message());
        if (mark->rows.isEmpty() || !mark->rows[0][0].toBool())
            return openError(shown,
                             QStringLiteral("il database non contiene un archivio di Calvetra "
                                            "(si crea con calvetra-sql --init)."));
        return connection;
    }
    Result<QStringList> tables = connection->tableNames();
    if (!tables)
        return openError(shown, tables.message());
    if (!tables->isEmpty())
        return Error{QStringLiteral("Il database %1 non è vuoto (contiene già %2 tabelle): "
                                    "non viene modificato.")
                         .arg(shown)
                         .arg(tables->size())};
    Transaction transaction(*connection);
    if (!transaction.started())
        return openError(shown, transaction.started().message());
    for (const QString &statement : pgSupportStatements()) {
        if (Status done = connection->simple(statement.toUtf8().constData()); !done)
            return openError(shown, done.message());
    }
    if (Status done = transaction.commit(); !done)
        return openError(shown, done.message());
    return connection;
}

void PgConnection::allowQueriesOnly()
{
    m_queriesOnly = true;
}

Status PgConnection::simple(const char *sql)
{
    if (Status connected = ensureConnected(); !connected)
        return connected;
    PGresult *result = PQexec(m_db, sql);
    const ExecStatusType status = PQresultStatus(result);
    Status done;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        done = resultError(result);
    PQclear(result);
    return done;
}

Error PgConnection::lostError() const
{
    return Error{
        QStringLiteral("Il collegamento con il server dell'archivio %1 si è interrotto (%2). "
                       "Quanto era già stato salvato resta nell'archivio; la prossima "
                       "operazione proverà a ricollegarsi.")
            .arg(m_server, serverText(PQerrorMessage(m_db)))};
}

Error PgConnection::statementError(PGresult *result, bool inTransaction)
{
    // A transaction cut off by a lost connection must not look committed later.
    if (PQstatus(m_db) != CONNECTION_OK && inTransaction)
        m_lostInTransaction = true;
    return resultError(result);
}

Error PgConnection::resultError(PGresult *result) const
{
    if (!result || PQstatus(m_db) != CONNECTION_OK)
        return lostError();
    const QString state = QString::fromLatin1(PQresultErrorField(result, PG_DIAG_SQLSTATE));
    const QString message = serverText(PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY));
    if (state == u"55P03" || state == u"40P01" || state == u"40001")
        return Error{QStringLiteral("L'archivio %1 è bloccato da un'altra postazione (%2).")
                         .arg(m_server, message)};
    if (state == u"25006")
        return Error{
            QStringLiteral("Istruzione non permessa: qui l'archivio si può soltanto leggere, "
                           "con una sola interrogazione (SELECT).")};
    if (state.startsWith(u"08") || state.startsWith(u"57P"))
        return lostError();
    return Error{QStringLiteral("Errore del database: %1").arg(message)};
}

// A connection that broke is tried again, once, before the statement. A transaction that was
// open when it broke is gone: until the caller closes it, its statements are refused, so that
// none of them runs on its own as if the others had been done.
Status PgConnection::ensureConnected()
{
    if (m_lostInTransaction)
        return Error{
            QStringLiteral("Il collegamento con il server dell'archivio %1 si è interrotto "
                           "durante l'operazione, che non è stata salvata.")
                .arg(m_server)};
    if (PQstatus(m_db) == CONNECTION_OK)
        return {};
    PQreset(m_db);
    if (PQstatus(m_db) != CONNECTION_OK)
        return Error{QStringLiteral("Il server dell'archivio %1 non risponde: %2")
                         .arg(m_server, serverText(PQerrorMessage(m_db)))};
    m_clockSent.clear();
    m_tables.clear();
    PGresult *result = PQexec(m_db, kSessionSetup);
    PQclear(result);
    return {};
}

const PgConnection::Prepared &PgConnection::prepared(const QString &sql)
{
    auto found = m_prepared.constFind(sql);
    if (found != m_prepared.cend())
        return *found;
    if (m_prepared.size() >= kMaxPrepared)
        m_prepared.clear();
    Prepared p;
    QString text;
    qsizetype firstWord = -1;
    const QList<Token> tokens = tokenizeSql(sql);
    const Token *previous = nullptr;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.isPunct(u"?")) {
            text += u'$' + QString::number(++p.parameters);
            continue;
        }
        text += t.text;
        const bool alias = previous && previous->kind == TokenKind::Word &&
                           previous->text.compare(u"as", Qt::CaseInsensitive) == 0;
        if (t.kind != TokenKind::Space && t.kind != TokenKind::Comment)
            previous = &t;
        if (t.kind == TokenKind::Word || t.kind == TokenKind::QuotedName) {
            if (firstWord < 0)
                firstWord = i;
            const QString name =
                t.kind == TokenKind::QuotedName ? t.text.mid(1, t.text.size() - 2) : t.text;
            // The first spelling of a name in the statement is the one its columns are called by,
            // unless an alias spells it: the column is then called as the alias is.
            if (alias || !p.spellings.contains(name.toLower()))
                p.spellings.insert(name.toLower(), name);
            if (!m_spellings.contains(name.toLower()))
                m_spellings.insert(name.toLower(), name);
            if (t.text.startsWith(u"calvetra_now", Qt::CaseInsensitive) ||
                t.text.startsWith(u"calvetra_date", Qt::CaseInsensitive))
                p.readsClock = true;
        }
    }
    if (firstWord >= 0) {
        const Token &first = tokens[firstWord];
        p.changesTables =
            first.isWord(u"CREATE") || first.isWord(u"ALTER") || first.isWord(u"DROP");
        QStringList words;
        for (qsizetype i = firstWord; i < tokens.size() && words.size() < 6; ++i) {
            if (tokens[i].kind == TokenKind::Word || tokens[i].kind == TokenKind::QuotedName)
                words.append(tokens[i].text);
        }
        while (words.size() > 2 && (words[2].compare(u"IF", Qt::CaseInsensitive) == 0 ||
                                    words[2].compare(u"NOT", Qt::CaseInsensitive) == 0 ||
                                    words[2].compare(u"EXISTS", Qt::CaseInsensitive) == 0))
            words.removeAt(2);
        if (words.size() > 2 && words[1].compare(u"TABLE", Qt::CaseInsensitive) == 0 &&
            (first.isWord(u"CREATE") || first.isWord(u"ALTER")))
            p.table = words[2];
    }
    p.sql = text.toUtf8();
    return *m_prepared.insert(sql, p);
}

// Date() and Now() read the program's clock, as on a file, when a test has fixed it.
Status PgConnection::syncClock()
{
    const QString moment = clock::isFixed() ? storedDateTimeText(clock::now()) : QString();
    if (moment == m_clockSent)
        return {};
    Prepared set;
    set.sql = QByteArrayLiteral("SELECT set_config('") + kFixedNowSetting + "', $1, false)";
    set.parameters = 1;
    Result<RowSet> done = execute(set, {moment.isNull() ? QStringLiteral("") : moment});
    if (!done)
        return done.error();
    m_clockSent = moment;
    return {};
}

Result<const PgConnection::Prepared *> PgConnection::ready(const QString &sql,
                                                           const QVariantList &values)
{
    if (sql.contains(QChar(0)))
        return Error{QStringLiteral("Il testo SQL contiene un carattere nullo (codice 0): "
                                    "l'istruzione non viene eseguita.")};
    if (Status connected = ensureConnected(); !connected)
        return connected.error();
    const Prepared &statement = prepared(sql);
    if (values.size() != statement.parameters)
        return Error{QStringLiteral("Numero di valori errato per l'istruzione: %1 invece di %2.")
                         .arg(values.size())
                         .arg(statement.parameters)};
    if (statement.readsClock) {
        if (Status synced = syncClock(); !synced)
            return synced.error();
    }
    return &statement;
}

Result<RowSet> PgConnection::runNative(const QString &sql, const QVariantList &values)
{
    Result<const Prepared *> ok = ready(sql, values);
    if (!ok)
        return ok.error();
    // A copy: the statements run below may drop the prepared ones.
    const Prepared statement = **ok;
    if (m_queriesOnly) {
        static const QRegularExpression query(QStringLiteral("^[\\s(]*(select|with)\\b"),
                                              QRegularExpression::CaseInsensitiveOption);
        if (!query.match(sql).hasMatch())
            return Error{QStringLiteral("Istruzione non permessa: qui l'archivio si può soltanto "
                                        "leggere, con una sola interrogazione (SELECT).")};
        if (PQtransactionStatus(m_db) == PQTRANS_IDLE) {
            if (Status begun = simple("BEGIN READ ONLY"); !begun)
                return begun.error();
            Result<RowSet> rows = execute(statement, values);
            (void)simple("ROLLBACK");
            return rows;
        }
    }
    Result<RowSet> rows = execute(statement, values);
    if (rows && statement.changesTables) {
        m_tables.clear();
        m_keys.clear();
        if (Status counters = simple("SELECT calvetra_install_counters()"); !counters)
            return counters.error();
        if (Status spelled = rememberSpellings(statement); !spelled)
            return spelled.error();
    }
    return rows;
}

namespace {

// The values of a statement as libpq takes them: texts, and byte arrays as they are.
struct Parameters
{
    explicit Parameters(const QVariantList &values)
        : texts(values.size()), pointers(values.size(), nullptr), lengths(values.size(), 0),
          formats(values.size(), 0), types(values.size(), 0)
    {
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (isNull(values[i]))
                continue;
            bool binary = false;
            texts[i] = parameterText(values[i], &binary);
            pointers[i] = texts[i].constData();
            lengths[i] = int(texts[i].size());
            formats[i] = binary ? 1 : 0;
            types[i] = binary ? Oid(kBytea) : Oid(0);
        }
    }
    int count() const { return int(texts.size()); }

    QList<QByteArray> texts;
    QList<const char *> pointers;
    QList<int> lengths;
    QList<int> formats;
    QList<Oid> types;
};

struct Clear
{
    PGresult *r;
    ~Clear() { PQclear(r); }
};

} // namespace

QList<Column> PgConnection::columnsOf(const Prepared &statement, const PGresult *result,
                                      bool describe, QList<unsigned int> *types)
{
    const int count = PQnfields(result);
    QList<Column> columns;
    columns.reserve(count);
    types->resize(count);
    for (int c = 0; c < count; ++c) {
        const QString name = QString::fromUtf8(PQfname(result, c));
        Column column;
        column.name = statement.spellings.value(name, m_spellings.value(name, name));
        (*types)[c] = PQftype(result, c);
        const Oid table = PQftable(result, c);
        if (const TableColumns *t =
                !describe || table == InvalidOid ? nullptr : tableColumns(table)) {
            column.table = t->table;
            column.origin = t->columns.value(PQftablecol(result, c));
            if (name == column.origin)
                column.name = t->spellings.value(PQftablecol(result, c), name);
            column.kind = kindOf((*types)[c], PQfmod(result, c));
        }
        columns.append(column);
    }
    return columns;
}

Result<RowSet> PgConnection::execute(const Prepared &statement, const QVariantList &values,
                                     bool describe)
{
    const Parameters parameters(values);
    const bool inTransaction = PQtransactionStatus(m_db) != PQTRANS_IDLE;
    PGresult *result =
        PQexecParams(m_db, statement.sql.constData(), parameters.count(),
                     parameters.types.constData(), parameters.pointers.constData(),
                     parameters.lengths.constData(), parameters.formats.constData(), 0);
    const Clear clear{result};
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        return statementError(result, inTransaction);
    RowSet rows;
    if (status == PGRES_COMMAND_OK) {
        rows.rowsAffected = QByteArray(PQcmdTuples(result)).toLongLong();
        return rows;
    }
    QList<unsigned int> columnTypes;
    rows.columns = columnsOf(statement, result, describe, &columnTypes);
    const int columns = int(rows.columns.size());
    const int count = PQntuples(result);
    rows.rows.reserve(count);
    for (int r = 0; r < count; ++r) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c))
                row.append(QVariant());
            else
                row.append(readValue(PQgetvalue(result, r, c), PQgetlength(result, r, c),
                                     columnTypes[c], rows.columns[c].kind));
        }
        rows.rows.append(std::move(row));
    }
    return rows;
}

// Row by row (libpq's single-row mode): a long list is never held whole as the server's text.
// The columns are learnt first from a description of the statement, because nothing else can
// be asked of the server while the rows come in.
Status PgConnection::streamNative(const QString &sql, const QVariantList &values,
                                  RowReceiver &receiver)
{
    Result<const Prepared *> ok = ready(sql, values);
    if (!ok)
        return ok.error();
    const Prepared statement = **ok;
    if (m_queriesOnly || statement.changesTables)
        return Connection::streamNative(sql, values, receiver);
    const Parameters parameters(values);
    const bool inTransaction = PQtransactionStatus(m_db) != PQTRANS_IDLE;
    const auto failed = [&](PGresult *result) { return statementError(result, inTransaction); };
    QList<Column> columns;
    QList<unsigned int> columnTypes;
    {
        const Clear prepared{PQprepare(m_db, "", statement.sql.constData(), parameters.count(),
                                       parameters.types.constData())};
        if (PQresultStatus(prepared.r) != PGRES_COMMAND_OK)
            return failed(prepared.r);
        const Clear described{PQdescribePrepared(m_db, "")};
        if (PQresultStatus(described.r) != PGRES_COMMAND_OK)
            return failed(described.r);
        columns = columnsOf(statement, described.r, true, &columnTypes);
    }
    if (!PQsendQueryParams(m_db, statement.sql.constData(), parameters.count(),
                           parameters.types.constData(), parameters.pointers.constData(),
                           parameters.lengths.constData(), parameters.formats.constData(), 0))
        return failed(nullptr);
    PQsetSingleRowMode(m_db);
    receiver.columns(columns);
    Status done;
    QVariantList row(columns.size());
    // Every result is read, an error's included, so that the connection is ready again after.
    while (PGresult *result = PQgetResult(m_db)) {
        const Clear clear{result};
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_SINGLE_TUPLE && done.ok()) {
            for (int c = 0; c < row.size(); ++c)
                row[c] = PQgetisnull(result, 0, c)
                             ? QVariant()
                             : readValue(PQgetvalue(result, 0, c), PQgetlength(result, 0, c),
                                         columnTypes[c], columns[c].kind);
            receiver.row(row);
        } else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK &&
                   status != PGRES_SINGLE_TUPLE && done.ok()) {
            done = failed(result);
        }
    }
    if (done.ok() && PQstatus(m_db) != CONNECTION_OK)
        done = failed(nullptr);
    return done;
}

// The server keeps names in lower case; the program reads the columns of a whole row by the
// names its schema gives them. Those are kept as the columns' comments.
Status PgConnection::rememberSpellings(const Prepared &statement)
{
    if (statement.table.isEmpty())
        return {};
    Prepared columns;
    columns.sql =
        "SELECT attname FROM pg_attribute WHERE attrelid = to_regclass(lower($1)) AND attnum > 0";
    columns.parameters = 1;
    QString table = statement.table;
    if (table.startsWith(u'"') || table.startsWith(u'['))
        table = table.mid(1, table.size() - 2);
    Result<RowSet> names = execute(columns, {table}, false);
    if (!names)
        return names.error();
    for (const QVariantList &row : std::as_const(names->rows)) {
        const QString name = row[0].toString();
        const QString spelled = statement.spellings.value(name);
        if (spelled.isEmpty() || spelled == name)
            continue;
        Prepared comment;
        comment.sql = QStringLiteral("COMMENT ON COLUMN %1.%2 IS '%3'")
                          .arg(m_dialect.quoteIdentifier(table), m_dialect.quoteIdentifier(name),
                               QString(spelled).replace(u'\'', QStringLiteral("''")))
                          .toUtf8();
        if (Result<RowSet> done = execute(comment, {}, false); !done)
            return done.error();
    }
    return {};
}

const PgConnection::TableColumns *PgConnection::tableColumns(unsigned int oid)
{
    auto found = m_tables.constFind(oid);
    if (found != m_tables.cend())
        return &*found;
    Prepared query;
    query.sql = "SELECT c.relname, a.attnum, a.attname, col_description(c.oid, a.attnum) "
                "FROM pg_class c JOIN pg_attribute a "
                "ON a.attrelid = c.oid WHERE c.oid = CAST($1 AS oid) AND a.attnum > 0";
    query.parameters = 1;
    Result<RowSet> rows = execute(query, {qlonglong(oid)}, false);
    if (!rows || rows->rows.isEmpty())
        return nullptr;
    TableColumns t;
    t.table = rows->rows[0][0].toString();
    for (const QVariantList &row : std::as_const(rows->rows)) {
        const QString name = row[2].toString();
        const QString comment = row[3].toString();
        t.columns.insert(row[1].toInt(), name);
        t.spellings.insert(row[1].toInt(),
                           comment.compare(name, Qt::CaseInsensitive) == 0 ? comment : name);
    }
    return &*m_tables.insert(oid, t);
}

Result<QString> PgConnection::keyColumn(const QString &table)
{
    const QString lower = table.toLower();
    if (m_keys.contains(lower))
        return m_keys.value(lower);
    Result<RowSet> key = runNative(
        QStringLiteral(
            "SELECT a.attname FROM pg_index i JOIN pg_class c ON c.oid = i.indrelid "
            "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = ANY(i.indkey) "
            "WHERE i.indisprimary AND c.relnamespace = CAST(current_schema() AS regnamespace) "
            "AND lower(c.relname) = ?"),
        {lower});
    if (!key)
        return key.error();
    if (key->rows.size() != 1)
        return Error{QStringLiteral("La tabella %1 non ha una chiave.").arg(table)};
    m_keys.insert(lower, key->rows[0][0].toString());
    return m_keys.value(lower);
}

Result<QStringList> PgConnection::tableNames()
{
    Result<RowSet> rows = runNative(QStringLiteral(
        "SELECT relname FROM pg_class WHERE relnamespace = CAST(current_schema() AS regnamespace) "
        "AND relkind IN ('r', 'v', 'p') ORDER BY relname"));
    if (!rows)
        return rows.error();
    return rows->firstColumnTexts();
}

namespace {

// One value in the text form of COPY: \N for null, backslash escapes for what would end the
// value or the row.
void appendCopyValue(QByteArray &line, const QVariant &value)
{
    if (isNull(value)) {
        line += "\\N";
        return;
    }
    bool binary = false;
    QByteArray text = parameterText(value, &binary);
    if (binary)
        text = "\\x" + text.toHex();
    for (const char ch : std::as_const(text)) {
        switch (ch) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += ch;
        }
    }
}

} // namespace

Status PgConnection::copyRows(const QString &table, const QStringList &columns,
                              const QList<QVariantList> &rows)
{
    if (Status connected = ensureConnected(); !connected)
        return connected;
    QStringList names;
    for (const QString &c : columns)
        names.append(m_dialect.quoteIdentifier(c));
    const QByteArray start =
        QStringLiteral("COPY %1 (%2) FROM STDIN")
            .arg(m_dialect.quoteIdentifier(table), names.join(QStringLiteral(", ")))
            .toUtf8();
    PGresult *begun = PQexec(m_db, start.constData());
    const bool copying = PQresultStatus(begun) == PGRES_COPY_IN;
    Status done = copying ? Status() : Status(resultError(begun));
    PQclear(begun);
    if (!copying)
        return done;
    QByteArray buffer;
    for (const QVariantList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0)
                buffer += '\t';
            appendCopyValue(buffer, row[c]);
        }
        buffer += '\n';
        if (buffer.size() > (1 << 20)) {
            if (PQputCopyData(m_db, buffer.constData(), int(buffer.size())) != 1)
                break;
            buffer.clear();
        }
    }
    if (!buffer.isEmpty())
        PQputCopyData(m_db, buffer.constData(), int(buffer.size()));
    PQputCopyEnd(m_db, nullptr);
    while (PGresult *result = PQgetResult(m_db)) {
        if (PQresultStatus(result) != PGRES_COMMAND_OK && done)
            done = resultError(result);
        PQclear(result);
    }
    return done;
}

Status PgConnection::resetCounters()
{
    Result<RowSet> counters = runNative(QStringLiteral(
        "SELECT c.relname, a.attname, pg_get_serial_sequence(quote_ident(c.relname), a.attname) "
        "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
        "WHERE c.relnamespace = CAST(current_schema() AS regnamespace) AND c.relkind = 'r' "
        "AND a.attnum > 0 AND NOT a.attisdropped "
        "AND pg_get_serial_sequence(quote_ident(c.relname), a.attname) IS NOT NULL"));
    if (!counters)
        return counters.error();
    for (const QVariantList &row : std::as_const(counters->rows)) {
        // A table without rows starts again from 1, as a new archive does.
        const QString sql =
            QStringLiteral("SELECT setval(?, COALESCE((SELECT max(%1) FROM %2), 1), "
                           "(SELECT max(%1) FROM %2) IS NOT NULL)")
                .arg(m_dialect.quoteIdentifier(row[1].toString()),
                     m_dialect.quoteIdentifier(row[0].toString()));
        if (Result<RowSet> set = runNative(sql, {row[2]}); !set)
            return set.error();
    }
    return {};
}

Status PgConnection::begin()
{
    m_lostInTransaction = false;
    return simple("BEGIN");
}

// The server's usual transaction sees each statement's own moment; a snapshot keeps the first.
Status PgConnection::beginReading()
{
    m_lostInTransaction = false;
    return simple("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
}

Status PgConnection::commit()
{
    if (m_lostInTransaction) {
        m_lostInTransaction = false;
        return Error{
            QStringLiteral("Il collegamento con il server dell'archivio %1 si è interrotto "
                           "durante l'operazione, che non è stata salvata.")
                .arg(m_server)};
    }
    if (Status connected = ensureConnected(); !connected)
        return connected;
    PGresult *result = PQexec(m_db, "COMMIT");
    Status done;
    if (PQresultStatus(result) != PGRES_COMMAND_OK)
        done = resultError(result);
    // A transaction in which a statement failed ends with a rollback even when asked to commit.
    else if (qstrcmp(PQcmdStatus(result), "COMMIT") != 0)
        done = Error{QStringLiteral("Le modifiche non sono state salvate: un'istruzione "
                                    "dell'operazione non è riuscita.")};
    PQclear(result);
    return done;
}

Status PgConnection::rollback()
{
    if (m_lostInTransaction) {
        m_lostInTransaction = false;
        return {};
    }
    if (PQstatus(m_db) != CONNECTION_OK)
        return {}; // the server ended the transaction with the connection
    return simple("ROLLBACK");
}

} // namespace db
