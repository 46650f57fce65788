#include "app/startup.h"

#include "common/dates.h"
#include "common/textfunctions.h"
#include "db/sql/scripttext.h"
#include "db/sql/sqltranslation.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

const QString kUpdateScript = QStringLiteral("SQLAggio.sql");

} // namespace

db::Status runUpdateScript(db::Connection &connection, const QString &archiveFolder, bool *applied)
{
    *applied = false;
    const QString path = QDir(archiveFolder).filePath(kUpdateScript);
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return db::Error{
            QStringLiteral("Impossibile leggere %1: %2").arg(path, file.errorString())};
    const db::Result<QString> script = db::scriptText(file.readAll());
    file.close();
    if (!script)
        return db::Error{QStringLiteral("Aggiornamento dell'archivio non riuscito (%1): %2 "
                                        "Nessuna modifica è stata applicata.")
                             .arg(path, script.message())};

    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    // Split at the semicolons outside literals and comments: a ";" inside a text value or a
    // closing comment must not break a script that is otherwise right.
    const QStringList statements = db::splitSqlScript(*script);
    for (int i = 1; i <= statements.size(); ++i) {
        db::Result<db::RowSet> done = connection.run(statements[i - 1]);
        if (!done)
            return db::Error{
                QStringLiteral("Aggiornamento dell'archivio non riuscito (%1, istruzione %2): "
                               "nessuna modifica è stata applicata.\n%3")
                    .arg(kUpdateScript)
                    .arg(i)
                    .arg(done.message())};
    }
    if (db::Status committed = transaction.commit(); !committed)
        return committed;
    if (!QFile::remove(path))
        return db::Error{
            QStringLiteral("Aggiornamento applicato, ma impossibile eliminare %1.").arg(path)};
    *applied = true;
    return {};
}

namespace {

// An appointment's time as a person reads it: the day, and the hour and minute when it has one.
QString reminderTime(const QDateTime &when)
{
    const QString day = ScriviDataItaliana(when.date());
    return when.time() == QTime(0, 0) ? day
                                      : day + u' ' + when.time().toString(QStringLiteral("hh:mm"));
}

} // namespace

QList<QStringList> reminderGrid(const db::RowSet &reminders)
{
    QList<QStringList> grid = {{QStringLiteral("Data"), QStringLiteral("Tipologia"),
                                QStringLiteral("Contatto"), QStringLiteral("Note"),
                                QStringLiteral("Id"), QStringLiteral("Avviso")}};
    for (qsizetype r = 0; r < reminders.rows.size(); ++r) {
        const QVariant data = reminders.value(r, u"Data");
        const QVariant avviso = reminders.value(r, u"DataAvviso");
        const qlonglong id = reminders.value(r, u"Id").toLongLong();
        grid.append(
            {data.isValid() ? reminderTime(data.toDateTime()) : QString(),
             reminders.value(r, u"TipologiaCalendario").toString(),
             reminders.value(r, u"Cliente").toString(), reminders.value(r, u"Note").toString(),
             id > 0 ? QString::number(id) : QString(),
             avviso.isValid() ? ScriviDataItaliana(avviso.toDateTime().date()) : QString()});
    }
    return grid;
}

QStringList birthdayLines(const db::RowSet &contacts, QDate today)
{
    // In the calendar's order from today's month on: December's birthdays before January's
    // at the end of the year, and by day within a month.
    QList<std::pair<int, QString>> dated;
    for (qsizetype r = 0; r < contacts.rows.size(); ++r) {
        const QVariant born = contacts.value(r, u"DataNascita");
        const QDate date = born.isValid() ? born.toDateTime().date() : QDate();
        const int monthsAhead = date.isValid() ? (date.month() - today.month() + 12) % 12 : 12;
        dated.append({monthsAhead * 32 + (date.isValid() ? date.day() : 0),
                      contacts.value(r, u"Cognome").toString() + u' ' +
                          contacts.value(r, u"Nome").toString() + QStringLiteral(" :") +
                          (date.isValid() ? ScriviDataItaliana(date) : QString())});
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList lines;
    for (const auto &[order, line] : dated)
        lines.append(line);
    return lines;
}
