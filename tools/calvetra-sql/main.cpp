// calvetra-sql: runs one statement of the program's SQL dialect on an archive, or creates a
// new archive. For support, scripting and checking an archive from outside the program.

#include "common/console.h"
#include "common/dates.h"
#include "common/toolinfo.h"
#include "db/core/archive.h"
#include "db/core/privatefiles.h"
#include "db/datasets/dataset.h"
#include "schema/archivecreator.h"
#include "tools/calvetra-sql/backupcommands.h"
#include "tools/calvetra-sql/importcommand.h"
#include "tools/calvetra-sql/passwordcommand.h"
#include "tools/calvetra-sql/serverarchive.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <cmath>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-sql ARCHIVIO \"ISTRUZIONE\" [--filter FILTRO] [--sort ORDINAMENTO]\n"
    "        esegue un'istruzione sull'archivio; le righe lette passano per il filtro e\n"
    "        l'ordinamento dei data set del programma\n"
    "  calvetra-sql --init ARCHIVIO\n"
    "        crea un nuovo archivio con i dati di riferimento; ARCHIVIO è un file o un\n"
    "        database vuoto su un server (postgresql://utente@server:porta/database)\n"
    "  calvetra-sql --copy ARCHIVIO postgresql://...\n"
    "        copia un archivio su file in un database vuoto del server, tutto o niente\n"
    "  calvetra-sql --import-mdb ARCHIVIO.mdb DESTINAZIONE\n"
    "        crea un nuovo archivio (un file che non esiste o un database vuoto del server)\n"
    "        dall'archivio della versione per Windows, che non viene modificato\n"
    "  calvetra-sql --check ARCHIVIO\n"
    "        controlla l'integrità dell'archivio senza modificarlo\n"
    "  calvetra-sql --backup ARCHIVIO COPIA\n"
    "        scrive una copia di sicurezza dell'archivio, anche mentre altre postazioni lo\n"
    "        usano, e ne controlla l'integrità\n"
    "  calvetra-sql --restore ARCHIVIO COPIA [--conferma]\n"
    "        rimette la copia al posto dell'archivio, dopo aver chiesto conferma (non chiesta\n"
    "        con --conferma), soltanto quando nessuna postazione ha l'archivio aperto\n"
    "  calvetra-sql --reset-password ARCHIVIO [--conferma]\n"
    "        toglie la password dell'amministratore, dopo aver chiesto conferma (non chiesta\n"
    "        con --conferma): per un ufficio che l'ha dimenticata\n"
    "  calvetra-sql --help | --version\n";

// Tabs, line breaks and backslashes inside a value would break the one-line-per-row form.
QString escaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\r', QStringLiteral("\\r"));
    return text;
}

QString formatted(const QVariant &value, db::FieldKind kind)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return ScriviDataItaliana(value.toDateTime());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (kind == db::FieldKind::Currency) {
            const bool cents = std::abs(v * 100.0 - std::round(v * 100.0)) < 1e-6;
            return QString::number(v, 'f', cents ? 2 : 4);
        }
        return QString::number(v, 'g', 15);
    }
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 byte>").arg(value.toByteArray().size());
    default:
        return escaped(value.toString());
    }
}

int initArchive(const QString &path)
{
    if (db::Status created = schema::createArchive(path); !created) {
        err() << created.message() << Qt::endl;
        return 1;
    }
    out() << "Archivio creato: " << path << Qt::endl;
    return 0;
}

// Exit code 0 only for a sound archive. The check runs with the program's text order in place,
// which other SQLite tools do not have.
int checkArchive(const QString &path)
{
    db::Result<db::ArchiveCheck> check = db::checkArchive(path);
    if (!check) {
        err() << check.message() << Qt::endl;
        return 1;
    }
    if (!check->problems.isEmpty()) {
        out() << "L'archivio " << path << " è danneggiato:" << '\n';
        for (const QString &problem : std::as_const(check->problems))
            out() << "  " << problem << '\n';
        out().flush();
        return 1;
    }
    out() << "L'archivio " << path << " è integro." << '\n';
    if (check->earlierFormat)
        out() << "È nel formato precedente: sarà convertito quando il programma lo aprirà." << '\n';
    out().flush();
    // The archive holds personal data: a file every user of the computer can read is said.
    QStringList exposed;
    for (const QString &file :
         {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
        if (QFileInfo::exists(file) && db::readableByOthers(file))
            exposed << file;
    }
    if (!exposed.isEmpty()) {
        err() << "Attenzione: " << exposed.join(QStringLiteral(", "))
              << (exposed.size() == 1 ? " è leggibile" : " sono leggibili")
              << " da tutti gli utenti del computer, ma contiene dati personali. Per "
                 "renderlo leggibile solo dal proprietario:\n  chmod 600 "
              << exposed.join(u' ') << Qt::endl;
    }
    return 0;
}

struct Statement
{
    QString archive;
    QString sql;
    QString filter;
    QString sort;
};

QString cellsOf(const QVariantList &row, const QList<db::Column> &columns)
{
    QStringList cells;
    for (qsizetype c = 0; c < row.size(); ++c)
        cells.append(formatted(row[c], columns[c].kind));
    return cells.join(u'\t');
}

void printHeader(const QList<db::Column> &columns)
{
    QStringList header;
    for (const db::Column &column : columns)
        header.append(column.name);
    out() << header.join(u'\t') << '\n';
}

bool isQuery(const QString &sql)
{
    static const QRegularExpression select(QStringLiteral("^[\\s(]*(select|with)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    return select.match(sql).hasMatch();
}

int fail(const QString &message)
{
    err() << message << Qt::endl;
    return 1;
}

// Rows go through a data set, so that the filter and sort texts work as in the program.
int runQuery(db::Connection &connection, const Statement &s)
{
    db::DataSet rows(connection);
    rows.setSql(s.sql);
    if (db::Status opened = rows.open(); !opened)
        return fail(opened.message());
    if (db::Status filtered = rows.setFilter(s.filter); !filtered)
        return fail(filtered.message());
    if (db::Status sorted = rows.setSort(s.sort); !sorted)
        return fail(sorted.message());
    printHeader(rows.columns());
    for (int r = 0; r < rows.recordCount(); ++r) {
        QVariantList row;
        for (int c = 0; c < rows.columns().size(); ++c)
            row.append(rows.valueAt(r, c));
        out() << cellsOf(row, rows.columns()) << '\n';
    }
    out().flush();
    return 0;
}

int runStatement(const Statement &s)
{
    auto connection = db::openArchive(s.archive);
    if (!connection)
        return fail(connection.message());
    if (isQuery(s.sql))
        return runQuery(**connection, s);
    if (!s.filter.isEmpty() || !s.sort.isEmpty())
        return fail(QStringLiteral("--filter e --sort valgono solo per le istruzioni SELECT."));
    db::Result<db::RowSet> result = (*connection)->run(s.sql);
    if (!result)
        return fail(result.message());
    if (result->columns.isEmpty()) {
        out() << result->rowsAffected << Qt::endl;
        return 0;
    }
    printHeader(result->columns);
    for (const QVariantList &row : std::as_const(result->rows))
        out() << cellsOf(row, result->columns) << '\n';
    out().flush();
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-sql"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() == 2 && args[0] == u"--init")
        return db::isServerLocation(args[1]) ? initServerArchive(args[1]) : initArchive(args[1]);
    if (args.size() == 3 && args[0] == u"--copy")
        return copyArchiveToServer(args[1], args[2]);
    if (args.size() == 2 && args[0] == u"--check")
        return checkArchive(args[1]);
    if (const std::optional<int> done = runImportCommand(args))
        return *done;
    if (const std::optional<int> done = runBackupCommand(args))
        return *done;
    if (const std::optional<int> done = runPasswordCommand(args))
        return *done;
    Statement statement;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if ((args[i] == u"--filter" || args[i] == u"--sort") && i + 1 < args.size()) {
            (args[i] == u"--filter" ? statement.filter : statement.sort) = args[i + 1];
            ++i;
        } else if (args[i].startsWith(u"--")) {
            positional.clear();
            break;
        } else {
            positional.append(args[i]);
        }
    }
    if (positional.size() != 2) {
        err() << kUsage;
        return 2;
    }
    statement.archive = positional[0];
    statement.sql = positional[1];
    return runStatement(statement);
}
