#include "testsupport.h"

#include "db/core/archive.h"
#include "schema/archivecreator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <libpq-fe.h>

#include <algorithm>

namespace {

// Creating an archive takes a while; each test gets a copy of one made per test process.
QString templateArchive()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("modello.sqlite"));
        const db::Status created = schema::createArchive(p);
        if (!created)
            qFatal("%s", qPrintable(created.message()));
        // The tests fill the small lists themselves: they start without the starter rows a new
        // archive gets.
        auto opened = db::openArchive(p);
        for (const char *table : {"Titoli", "TipoPagamenti", "TipologiaCalendario"}) {
            // Their counters start again too, as in an archive that never had the rows.
            if (!opened || !(*opened)->run(QStringLiteral("delete from ") + QLatin1String(table)) ||
                !(*opened)->runNative(QStringLiteral("delete from sqlite_sequence where name = ?"),
                                      {QString::fromLatin1(table)}))
                qFatal("cannot empty %s", table);
        }
        return p;
    }();
    return path;
}

} // namespace

namespace {

QString serverAddress()
{
    static const QString address = [] {
        QFile file(qEnvironmentVariable("CALVETRA_TEST_PG_URI_FILE"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The tests' PostgreSQL server is not running (no address in \"%s\"): "
                   "ctest starts it with the test pg_server_start.",
                   qPrintable(file.fileName()));
        return QString::fromUtf8(file.readAll()).trimmed();
    }();
    return address;
}

// Runs statements on one database of the server and gives the first value of the last one;
// a failure ends the tests.
QString onServerDatabase(const QString &database, const QString &sql)
{
    PGconn *c = PQconnectdb((serverAddress() + u'/' + database).toUtf8().constData());
    PGresult *r = PQstatus(c) == CONNECTION_OK ? PQexec(c, sql.toUtf8().constData()) : nullptr;
    const bool done =
        r && (PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK);
    const QString first = done && PQntuples(r) > 0 && PQnfields(r) > 0
                              ? QString::fromUtf8(PQgetvalue(r, 0, 0))
                              : QString();
    const QString why = QString::fromUtf8(PQerrorMessage(c));
    PQclear(r);
    PQfinish(c);
    if (!done)
        qFatal("%s on %s: %s", qPrintable(sql), qPrintable(database), qPrintable(why));
    return first;
}

void onServerMaintenance(const QString &sql)
{
    (void)onServerDatabase(QStringLiteral("postgres"), sql);
}

// The tables, columns and indexes of a database, in one value.
QString schemaOf(const QString &database)
{
    return onServerDatabase(
        database,
        QStringLiteral(
            "SELECT md5(COALESCE(string_agg(c.relname || '.' || COALESCE(a.attname, '') || ':' || "
            "COALESCE(a.atttypid::text, ''), ',' ORDER BY c.relname, a.attnum), '')) "
            "FROM pg_class c LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND "
            "NOT a.attisdropped "
            "WHERE c.relnamespace = 'public'::regnamespace"));
}

} // namespace

bool FreshArchive::onServer()
{
    return qEnvironmentVariable("CALVETRA_TEST_ENGINE") == u"postgresql";
}

std::unique_ptr<FreshArchive> FreshArchive::namedInProgramFolder(const QString &programFolder)
{
    if (!onServer())
        return {};
    auto archive = std::make_unique<FreshArchive>();
    QFile path(programFolder + QStringLiteral("/percorso.txt"));
    if (!path.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        path.write(archive->path().toUtf8() + '\n') <= 0)
        qFatal("cannot write percorso.txt");
    return archive;
}

// The database of the process, reused by one archive after the other. An archive made while it
// is taken gets a database of its own.
struct ProcessDatabase
{
    QString name;
    bool taken = false;
};

ProcessDatabase &processDatabase()
{
    static ProcessDatabase database;
    return database;
}

// Puts the process's database back as the template was: every connection to it ended, the rows
// and counters of the template in place.
void resetProcessDatabase(const QString &name)
{
    onServerMaintenance(
        QStringLiteral("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
                       "WHERE datname = '%1' AND pid <> pg_backend_pid()")
            .arg(name));
    // The refusals a test added go first, so that the rows can go back.
    onServerDatabase(name, QStringLiteral(R"(DO $$ DECLARE r RECORD; BEGIN
  FOR r IN SELECT tgname, tgrelid::regclass AS t FROM pg_trigger WHERE tgname LIKE 'calvetra_rifiuto%' LOOP
    EXECUTE format('DROP TRIGGER %I ON %s', r.tgname, r.t);
  END LOOP;
END $$; SELECT calvetra_copia.ripristina())"));
}

FreshArchive::~FreshArchive()
{
    m_connection.reset();
    if (m_database.isEmpty())
        return;
    static const QString templateSchema = schemaOf(QStringLiteral("calvetra_modello"));
    ProcessDatabase &reused = processDatabase();
    if (m_database == reused.name && schemaOf(m_database) == templateSchema) {
        reused.taken = false;
        return;
    }
    // A test that changed the tables leaves a database the next one cannot start from.
    if (m_database == reused.name)
        reused = ProcessDatabase();
    onServerMaintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_database));
}

FreshArchive::FreshArchive() : m_path(m_dir.filePath(QStringLiteral("archivio.sqlite")))
{
    if (onServer()) {
        static int made = 0;
        ProcessDatabase &reused = processDatabase();
        if (!reused.taken && !reused.name.isEmpty()) {
            m_database = reused.name;
            resetProcessDatabase(m_database);
        } else {
            m_database = QStringLiteral("calvetra_t%1_%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(++made);
            onServerMaintenance(
                QStringLiteral("CREATE DATABASE %1 TEMPLATE calvetra_modello").arg(m_database));
            if (reused.name.isEmpty())
                reused.name = m_database;
        }
        if (m_database == reused.name)
            reused.taken = true;
        m_path = serverAddress() + u'/' + m_database;
        auto opened = db::openArchive(m_path);
        if (!opened)
            qFatal("%s", qPrintable(opened.message()));
        m_connection = std::move(*opened);
        return;
    }
    if (!QFile::copy(templateArchive(), m_path))
        qFatal("cannot copy the template archive");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    auto opened = db::openArchive(m_path);
    if (!opened)
        qFatal("%s", qPrintable(opened.message()));
    m_connection = std::move(*opened);
}

db::RowSet FreshArchive::run(const QString &sql)
{
    db::Result<db::RowSet> result = m_connection->run(sql);
    if (!result) {
        QTest::qFail(qPrintable(result.message()), __FILE__, __LINE__);
        return {};
    }
    return std::move(*result);
}

db::RowSet FreshArchive::native(const QString &sql, const QVariantList &values)
{
    db::Result<db::RowSet> result = m_connection->runNative(sql, values);
    if (!result) {
        QTest::qFail(qPrintable(result.message()), __FILE__, __LINE__);
        return {};
    }
    return std::move(*result);
}

void FreshArchive::refuseWrites(const QString &event, const QString &table, const QString &message,
                                const QString &when)
{
    static int made = 0;
    const QString name = QStringLiteral("calvetra_rifiuto_%1").arg(++made);
    m_refusals.append({name, table});
    if (onServer()) {
        native(
            QStringLiteral("CREATE FUNCTION calvetra_copia.%1() RETURNS trigger LANGUAGE plpgsql "
                           "AS $f$ BEGIN RAISE EXCEPTION '%2'; END $f$")
                .arg(name, message));
        native(QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 FOR EACH ROW %4 EXECUTE FUNCTION "
                              "calvetra_copia.%1()")
                   .arg(name, event, table,
                        when.isEmpty() ? QString() : QStringLiteral("WHEN (%1)").arg(when)));
        return;
    }
    native(
        QStringLiteral("CREATE TRIGGER %1 BEFORE %2 ON %3 %4 BEGIN SELECT RAISE(ABORT, '%5'); END")
            .arg(name, event, table, when.isEmpty() ? QString() : QStringLiteral("WHEN ") + when,
                 message));
}

void FreshArchive::allowWrites()
{
    for (const auto &[name, table] : std::as_const(m_refusals))
        native(onServer() ? QStringLiteral("DROP TRIGGER %1 ON %2").arg(name, table)
                          : QStringLiteral("DROP TRIGGER %1").arg(name));
    m_refusals.clear();
}

ScriptedDialogs::ScriptedDialogs()
{
    setDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    setDialogs(nullptr);
}

void ScriptedDialogs::inform(MessageKind kind, const QString &message, const QString &caption)
{
    messages.append(caption + QStringLiteral(": ") + message);
    kinds.append(kind);
}

bool ScriptedDialogs::ask(const QString &question, const QString &caption, Answer answer)
{
    messages.append(caption + QStringLiteral(": ") + question);
    preselected.append(answer);
    kinds.append(MessageKind::Question);
    return answers.isEmpty() ? false : answers.takeFirst();
}

int ScriptedDialogs::choose(const QString &question, const QString &caption,
                            const QStringList &buttons, int preferred, int escape)
{
    messages.append(caption + QStringLiteral(": ") + question);
    kinds.append(MessageKind::Question);
    offered.append(buttons);
    defaults.append(buttons.value(preferred));
    if (choices.isEmpty())
        return escape;
    const QString pressed = choices.takeFirst();
    const qsizetype index = buttons.indexOf(pressed);
    if (index < 0) {
        QTest::qFail(
            qPrintable(QStringLiteral("no button \"%1\" in %2").arg(pressed, buttons.join(u'|'))),
            __FILE__, __LINE__);
        return escape;
    }
    return int(index);
}

namespace {

// The file filter as Qt's own file dialog reads it: each entry selected in turn, the patterns
// it sets on the dialog's file model. A filter Qt cannot read (another program's syntax, a
// missing parenthesis) gives patterns that are not "*" or "*.ext", and fails the test.
void checkFileFilter(const QString &filter)
{
    if (filter.isEmpty() || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter);
    auto *model = dialog.findChild<QFileSystemModel *>();
    if (!model) {
        QTest::qFail("the file dialog has no file model", __FILE__, __LINE__);
        return;
    }
    static const QRegularExpression pattern(QStringLiteral("^\\*(\\.[A-Za-z0-9]+)?$"));
    for (const QString &entry : dialog.nameFilters()) {
        dialog.selectNameFilter(entry);
        const QStringList patterns = model->nameFilters();
        const bool readable = !patterns.isEmpty() &&
                              std::all_of(patterns.begin(), patterns.end(), [](const QString &p) {
                                  return pattern.match(p).hasMatch();
                              });
        if (!readable) {
            QTest::qFail(qPrintable(QStringLiteral("file filter Qt does not read: \"%1\" -> %2")
                                        .arg(entry, patterns.join(u'|'))),
                         __FILE__, __LINE__);
            return;
        }
    }
}

} // namespace

QString ScriptedDialogs::chooseOpenFile(const QString &, const QString &filter, const QString &)
{
    checkFileFilter(filter);
    return files.isEmpty() ? QString() : files.takeFirst();
}

QStringList ScriptedDialogs::chooseOpenFiles(const QString &, const QString &filter,
                                             const QString &)
{
    checkFileFilter(filter);
    return files.isEmpty() ? QStringList() : files.takeFirst().split(u'\n', Qt::SkipEmptyParts);
}

QString ScriptedDialogs::chooseSaveFile(const QString &, const QString &filter,
                                        const QString &suggested)
{
    checkFileFilter(filter);
    suggestedFiles.append(suggested);
    return files.isEmpty() ? QString() : files.takeFirst();
}

int ScriptedDialogs::showModal(QWidget *window)
{
    modalWindows.append(window->objectName());
    // On screen while the script acts in it, as a modal window is for the user.
    window->show();
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window, 1000);
    const int result = modalActions.isEmpty() ? 0 : modalActions.takeFirst()(window);
    window->hide();
    return result;
}

namespace drive {

QWidget *widget(QWidget *window, const QString &name)
{
    auto *child = window->findChild<QWidget *>(name);
    if (!child)
        qFatal("no %s in %s", qPrintable(name), qPrintable(window->objectName()));
    return child;
}

void type(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = in<QLineEdit>(window, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void click(QWidget *window, const QString &name)
{
    in<QAbstractButton>(window, name)->click();
}

} // namespace drive

ToolRun runTool(const QString &tool, const QStringList &arguments, const QByteArray &input,
                int timeoutSeconds)
{
    QProcess process;
    process.start(QStringLiteral(CALVETRA_BIN_DIR "/") + tool, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutSeconds * 1000))
        return {-1, {}, QStringLiteral("timeout")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString emptyServerDatabase(const QString &name)
{
    onServerMaintenance(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    onServerMaintenance(QStringLiteral("CREATE DATABASE %1").arg(name));
    return serverAddress() + u'/' + name;
}

void dropServerDatabase(const QString &address)
{
    onServerMaintenance(
        QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(address.section(u'/', -1)));
}
