// The agenda's export from the archive to the file, read back by a reader nobody here wrote.
// Runs with TZ=Europe/Rome (tests/CMakeLists.txt): the export takes the system's zone.

#include "agenda/agendaexport.h"
#include "agenda/archiveidentity.h"
#include "agenda/readical.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QTest>

namespace {

const QString kAgendaSql =
    QStringLiteral("SELECT * from Calendario where Storico=false order by Data desc,Personale");

const QString kLongNote = QStringLiteral(
    "Portare i documenti; firma, timbro e copia \\ originale € — riga che supera di molto i "
    "settantacinque ottetti\r\nseconda riga\u2028terza");

void addAppointment(FreshArchive &archive, const QVariant &when, const QString &contact,
                    const QString &note = {}, bool archived = false)
{
    archive.native(
        QStringLiteral("INSERT INTO Calendario (Data, Cliente, Note, Storico, "
                       "Personale, TipologiaCalendario) VALUES (?, ?, ?, ?, ?, ?)"),
        {when.isValid() ? QVariant(db::storedDateTimeText(when.toDateTime())) : QVariant(), contact,
         note, archived, QStringLiteral("Anna"), QStringLiteral("Appuntamento")});
}

QDateTime wall(int y, int mo, int d, int h = 0, int mi = 0)
{
    return db::naiveDateTime(QDate(y, mo, d), QTime(h, mi));
}

// The file is written and read back; the raw bytes are checked against the file format's rules
// that a lenient reader would not notice.
QJsonArray writtenAndRead(const agenda::IcalExport &done, const QString &path)
{
    const db::Status saved = agenda::saveCalendar(path, done.text);
    if (!saved)
        QTest::qFail(qPrintable(saved.message()), __FILE__, __LINE__);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const bool framed = bytes.startsWith("BEGIN:VCALENDAR\r\n") &&
                        bytes.endsWith("\r\nEND:VCALENDAR\r\n") && !bytes.contains("\r\n\r\n");
    const bool crlfOnly =
        bytes.count('\n') == bytes.count("\r\n") && bytes.count('\r') == bytes.count("\r\n");
    bool short75 = true;
    for (const QByteArray &line : bytes.split('\n'))
        short75 = short75 && line.size() <= 76;
    if (!framed || !crlfOnly || !short75)
        QTest::qFail("not a well-formed calendar file", __FILE__, __LINE__);
    return readWithIcalendar(path).value(u"events").toArray();
}

db::Result<agenda::IcalExport> exportOf(db::Connection &connection)
{
    db::DataSet agenda(connection);
    agenda.setSql(kAgendaSql);
    if (db::Status opened = agenda.open(); !opened)
        return opened.error();
    return agenda::exportAgenda(agenda);
}

QStringList field(const QJsonArray &events, const QString &name)
{
    QStringList values;
    for (const QJsonValue &event : events)
        values.append(event[name].toString());
    return values;
}

} // namespace

class TestIcalExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("Europe/Rome"));
        db::clock::setFixedNow(wall(2024, 3, 5, 10, 0));
    }

    // The appointments of the grid, in its order: what the reader finds in the file.
    void listedRowsReadBack()
    {
        FreshArchive archive;
        addAppointment(archive, wall(2024, 3, 5, 9, 7), QStringLiteral("Rossi"), kLongNote);
        addAppointment(archive, wall(2024, 3, 31, 2, 30), QStringLiteral("Salto"));
        addAppointment(archive, wall(2024, 10, 27, 2, 30), QStringLiteral("Ripetuta"));
        addAppointment(archive, wall(2024, 7, 1, 18, 0), QStringLiteral("Estate"));
        addAppointment(archive, wall(999, 6, 15), QStringLiteral("Antica"));
        addAppointment(archive, wall(999, 6, 15, 10, 30), QStringLiteral("Antica con ora"));
        addAppointment(archive, QVariant(), QStringLiteral("Senza data"));
        addAppointment(archive, QVariant(), QStringLiteral("Senza data"));
        addAppointment(archive, wall(2024, 1, 1, 9, 0), QStringLiteral("Archiviata"), {}, true);
        archive.native(QStringLiteral("update Calendario set DataAvviso = '2024-06-30 00:00:00' "
                                      "where Cliente = 'Estate'"));

        const db::Result<agenda::IcalExport> done = exportOf(archive.connection());
        QVERIFY2(done.ok(), qPrintable(done.message()));
        QCOMPARE(done->events, 6);
        QCOMPARE(done->undated, 2);
        QCOMPARE(agenda::exportMessage(*done),
                 "Esportati 6 appuntamenti.\n2 appuntamenti senza data non esportati.");

        const QJsonArray events = writtenAndRead(*done, archive.folder() + "/agenda.ics");
        QCOMPARE(events.size(), 6);
        // Newest first, as the grid lists them.
        QCOMPARE(
            field(events, "start_utc"),
            QStringList({"2024-10-27T00:30:00Z", "2024-07-01T16:00:00Z", "2024-03-31T01:30:00Z",
                         "2024-03-05T08:07:00Z", "0999-06-15T09:40:00Z", ""}));
        // The file's own zone description places every time where the reader's database does.
        QCOMPARE(field(events, "start_utc_by_file"), field(events, "start_utc"));
        QCOMPARE(events[3]["summary"].toString(),
                 "Anna - Appuntamento / Rossi : " +
                     QString(kLongNote).replace("\r\n", "\n").replace(QChar(0x2028), u'\n'));
        QCOMPARE(events[5]["start"].toString(), "0999-06-15");
        QCOMPARE(events[5]["end"].toString(), "0999-06-16");
        QVERIFY(events[5]["all_day"].toBool());
        // An hour of real time after the start, however the clocks change: an appointment in
        // the hour the clocks repeat or skip ends in UTC, an hour after the moment it starts.
        QCOMPARE(field(events, "end"),
                 QStringList({"2024-10-27T01:30:00+00:00", "2024-07-01T19:00:00+02:00",
                              "2024-03-31T02:30:00+00:00", "2024-03-05T10:07:00+01:00",
                              "0999-06-15T11:30:00+00:50", "0999-06-16"}));
        QCOMPARE(events[0]["dtstamp"].toString(), "2024-03-05T09:00:00Z");
        QCOMPARE(events[0]["created"].toString(), "2024-03-04T23:00:00Z");
        QCOMPARE(events[0]["language"].toString(), "it-IT");
        QCOMPARE(events[0]["x_lines"].toArray().size(), 6);
        // The reminder's day rings at nine, in the office's zone.
        QCOMPARE(events[1]["alarms"].toArray(), QJsonArray({"2024-06-30T07:00:00Z"}));
        QCOMPARE(events[0]["alarms"].toArray(), QJsonArray());
    }

    void emptyGrid()
    {
        FreshArchive archive;
        const db::Result<agenda::IcalExport> none = exportOf(archive.connection());
        QVERIFY(none.ok());
        QCOMPARE(writtenAndRead(*none, archive.folder() + "/vuoto.ics").size(), 0);
        QCOMPARE(agenda::exportMessage(*none), "Esportati 0 appuntamenti.");
    }

    // The identifier is made at the first export of an archive that has none, kept in it, and
    // differs between archives; so do the events' UIDs.
    void uidsStayAndDifferBetweenArchives()
    {
        FreshArchive first;
        FreshArchive second;
        for (FreshArchive *archive : {&first, &second}) {
            addAppointment(*archive, wall(2024, 5, 2, 9, 0), QStringLiteral("Rossi"));
            addAppointment(*archive, wall(2024, 5, 3), QStringLiteral("Bianchi"));
        }
        const auto uids = [](FreshArchive &archive) {
            const db::Result<agenda::IcalExport> done = exportOf(archive.connection());
            return done ? field(writtenAndRead(*done, archive.folder() + "/u.ics"), "uid")
                        : QStringList();
        };
        const QStringList once = uids(first);
        QCOMPARE(once.size(), 2);
        QVERIFY(once[0] != once[1]);
        QCOMPARE(uids(first), once);

        auto reopened = db::openArchive(first.path());
        QVERIFY(reopened.ok());
        const db::Result<QUuid> kept = agenda::archiveIdentifier(**reopened);
        const db::Result<QUuid> made = agenda::archiveIdentifier(first.connection());
        QVERIFY(kept.ok() && made.ok());
        QCOMPARE(*kept, *made);

        const QStringList other = uids(second);
        QCOMPARE(other.size(), 2);
        QVERIFY(!once.contains(other[0]) && !once.contains(other[1]));
    }
};

QTEST_GUILESS_MAIN(TestIcalExport)
#include "tst_icalexport.moc"
