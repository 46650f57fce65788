#include "agenda/agendaexport.h"

#include "agenda/archiveidentity.h"
#include "db/core/datetimes.h"
#include "db/core/privatefiles.h"

#include <QFileInfo>
#include <QSaveFile>

namespace agenda {

db::Result<QList<Appointment>> listedAppointments(const db::DataSet &agenda)
{
    const QStringList names{QStringLiteral("Id"),         QStringLiteral("Data"),
                            QStringLiteral("Personale"),  QStringLiteral("TipologiaCalendario"),
                            QStringLiteral("Cliente"),    QStringLiteral("Note"),
                            QStringLiteral("DataAvviso"), QStringLiteral("Conclusa")};
    QList<int> column;
    for (const QString &name : names) {
        column.append(agenda.columnIndex(name));
        if (column.last() < 0)
            return db::Error{QStringLiteral("Manca la colonna %1 dell'agenda.").arg(name)};
    }
    QList<Appointment> rows;
    rows.reserve(agenda.recordCount());
    for (int r = 0; r < agenda.recordCount(); ++r) {
        const QVariant id = agenda.valueAt(r, column[0]);
        rows.append(
            {id.isValid() ? id.toLongLong() : -1, agenda.valueAt(r, column[1]).toDateTime(),
             agenda.valueAt(r, column[2]).toString(), agenda.valueAt(r, column[3]).toString(),
             agenda.valueAt(r, column[4]).toString(), agenda.valueAt(r, column[5]).toString(),
             agenda.valueAt(r, column[6]).toDateTime(), agenda.valueAt(r, column[7]).toBool(),
             QString()});
    }
    return rows;
}

db::Result<IcalExport> exportAgenda(db::DataSet &agenda)
{
    db::Result<QList<Appointment>> rows = listedAppointments(agenda);
    if (!rows)
        return rows.error();
    db::Result<QUuid> archive = archiveIdentifier(agenda.connection());
    if (!archive)
        return archive.error();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime now = db::clock::now();
    return composeCalendar(*rows, {zone, QDateTime(now.date(), now.time(), zone), *archive});
}

QString icalFileName(const QString &chosen)
{
    if (QFileInfo(chosen).fileName().contains(u'.'))
        return chosen;
    return chosen + QStringLiteral(".ics");
}

db::Status saveCalendar(const QString &path, const QByteArray &text)
{
    const auto failed = [&path](const QString &why) {
        return db::Error{QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, why)};
    };
    if (path.trimmed().isEmpty())
        return db::Error{QStringLiteral("Nome del file non indicato.")};
    QSaveFile file(path);
    if (!db::openPrivate(file))
        return failed(file.errorString());
    if (file.write(text) != text.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failed(why);
    }
    if (!file.commit())
        return failed(file.errorString());
    return {};
}

QString exportMessage(const IcalExport &done)
{
    QString message = done.events == 1
                          ? QStringLiteral("Esportato 1 appuntamento.")
                          : QStringLiteral("Esportati %1 appuntamenti.").arg(done.events);
    if (done.undated == 1)
        message += QStringLiteral("\n1 appuntamento senza data non esportato.");
    else if (done.undated > 1)
        message += QStringLiteral("\n%1 appuntamenti senza data non esportati.").arg(done.undated);
    return message;
}

} // namespace agenda
