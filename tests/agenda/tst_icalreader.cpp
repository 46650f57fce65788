// The reader of one calendar resource as phones and servers store it: the program's own file read
// back, other writers' habits, zones known and unknown, reminders, and input that is no calendar.

#include "agenda/calendarexport.h"
#include "agenda/icalreader.h"

#include <QTest>

namespace {

const QTimeZone kRome("Europe/Rome");

QDateTime wall(int y, int mo, int d, int h = 0, int mi = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

// One event of `lines` (separated by \n) in a calendar, with CRLF line ends.
QByteArray calendar(const QByteArray &lines, const QByteArray &beforeEvent = {})
{
    QByteArray text = "BEGIN:VCALENDAR\nVERSION:2.0\n" + beforeEvent + "BEGIN:VEVENT\nUID:u1\n" +
                      lines + "\nEND:VEVENT\nEND:VCALENDAR\n";
    return text.replace("\n", "\r\n");
}

agenda::PhoneEvent read(const QByteArray &text, const QTimeZone &zone = kRome)
{
    const db::Result<agenda::PhoneEvent> event = agenda::readPhoneEvent(text, zone);
    if (!event.ok())
        qWarning("%s", qPrintable(event.message()));
    return event.ok() ? *event : agenda::PhoneEvent{};
}

// A zone the reader cannot know, described by the file: -08:00 in winter, -07:00 from the
// second Sunday of March to the first Sunday of November, and before 2007 from the first Sunday
// of April to the last Sunday of October.
const QByteArray kOwnZone = "BEGIN:VTIMEZONE\n"
                            "TZID:Ora del Pacifico (personalizzata)\n"
                            "BEGIN:STANDARD\nDTSTART:19671029T020000\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T090000Z\n"
                            "TZOFFSETFROM:-0700\nTZOFFSETTO:-0800\nEND:STANDARD\n"
                            "BEGIN:DAYLIGHT\nDTSTART:19870405T020000\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T100000Z\n"
                            "TZOFFSETFROM:-0800\nTZOFFSETTO:-0700\nEND:DAYLIGHT\n"
                            "BEGIN:STANDARD\nDTSTART:20071104T020000\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\n"
                            "TZOFFSETFROM:-0700\nTZOFFSETTO:-0800\nEND:STANDARD\n"
                            "BEGIN:DAYLIGHT\nDTSTART:20070311T020000\n"
                            "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\n"
                            "TZOFFSETFROM:-0800\nTZOFFSETTO:-0700\nEND:DAYLIGHT\n"
                            "END:VTIMEZONE\n";

} // namespace

class TestIcalReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the program writes for a phone reads back to the same appointment.
    void programsOwnFileReadsBack_data()
    {
        QTest::addColumn<QDateTime>("data");
        QTest::addColumn<QDateTime>("avviso");
        QTest::addColumn<QTimeZone>("readIn");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QDateTime>("alarm");
        QTest::newRow("January") << wall(2026, 1, 15, 9) << QDateTime() << kRome
                                 << wall(2026, 1, 15, 9) << QDateTime();
        QTest::newRow("July, reminder the day before")
            << wall(2026, 7, 15, 9) << wall(2026, 7, 14) << kRome << wall(2026, 7, 15, 9)
            << wall(2026, 7, 14, 7);
        QTest::newRow("whole day, reminder at the start of the day")
            << wall(2026, 1, 15) << wall(2026, 1, 15) << kRome << wall(2026, 1, 15)
            << wall(2026, 1, 15, 8);
        QTest::newRow("read where the office's zone is unknown: UTC")
            << wall(2026, 7, 15, 9) << QDateTime() << QTimeZone() << wall(2026, 7, 15, 7)
            << QDateTime();
    }
    void programsOwnFileReadsBack()
    {
        QFETCH(QDateTime, data);
        QFETCH(QDateTime, avviso);
        QFETCH(QTimeZone, readIn);
        QFETCH(QDateTime, start);
        QFETCH(QDateTime, alarm);
        const agenda::Appointment a{7, data, "Anna", "Telefonata", "Rossi", {}, avviso, false};
        const agenda::IcalSettings settings{kRome, wall(2026, 1, 1, 10), QUuid::createUuid()};
        const agenda::IcalExport file = agenda::composeCalendar({a}, settings);
        const auto event = agenda::readPhoneEvent(file.text, readIn);
        QVERIFY2(event.ok(), qPrintable(event.message()));
        QCOMPARE(event->start, start);
        QCOMPARE(event->start.timeSpec(), Qt::UTC);
        QCOMPARE(event->wholeDay, data.time() == QTime(0, 0));
        QCOMPARE(event->alarm, alarm);
        if (alarm.isValid())
            QCOMPARE(event->alarm.timeSpec(), Qt::UTC);
        QCOMPARE(event->uid, agenda::eventUid(settings.archive, a));
        QCOMPARE(event->summary, QStringLiteral("Anna - Telefonata / Rossi"));
    }

    // Escaped characters, and a title long enough to be folded through accented letters.
    void programsOwnTitleReadsBack()
    {
        const QString note =
            QStringLiteral("L'àncora è già lì; però, più tardi\nrichiamare ") + QString(40, u'é');
        const agenda::Appointment a{1, wall(2026, 2, 2, 11), {}, {}, "Rossi", note, {}, false};
        const agenda::IcalExport file =
            agenda::composeCalendar({a}, {kRome, wall(2026, 1, 1), QUuid::createUuid()});
        QCOMPARE(read(file.text).summary, QStringLiteral("Rossi : ") + note);
    }

    // Another writer's habits: LF only, a fold inside a two-octet letter and one with a tab,
    // lower-case names, a quoted TZID with a prefix, a reminder before the end.
    void otherWritersEvent()
    {
        const QByteArray text =
            "BEGIN:VCALENDAR\nversion:2.0\nbegin:vevent\nuid:abc-1\n"
            "summary;language=it:Caff\xC3\n \xA8 con l\\,avvocato\n"
            "description:Riga uno\\NRiga\\ndue \\\\ \\; fine\n"
            "\tsenza spazio\n"
            "dtstart;tzid=\"/mozilla.org/20050126_1/Europe/Rome\":"
            "20260710T090000\n"
            "DtEnd;TzId=\"/mozilla.org/20050126_1/Europe/Rome\":20260710T100000\n"
            "begin:valarm\naction:DISPLAY\ntrigger;related=end:-PT15M\n"
            "end:valarm\nend:vevent\nend:vcalendar\n";
        const agenda::PhoneEvent event = read(text);
        QCOMPARE(event.uid, QStringLiteral("abc-1"));
        QCOMPARE(event.summary, QStringLiteral("Caffè con l,avvocato"));
        QCOMPARE(event.description, QStringLiteral("Riga uno\nRiga\ndue \\ ; finesenza spazio"));
        QCOMPARE(event.start, wall(2026, 7, 10, 9));
        QCOMPARE(event.alarm, wall(2026, 7, 10, 7, 45));
    }

    void lineEndsAndCharsets_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("summary");
        const QByteArray lines = "BEGIN:VCALENDAR|BEGIN:VEVENT|SUMMARY:Caffè|"
                                 "DTSTART:20260105|END:VEVENT|END:VCALENDAR|";
        QTest::newRow("CR") << QByteArray(lines).replace('|', '\r') << "Caffè";
        QTest::newRow("CRLF, byte-order mark")
            << "\xEF\xBB\xBF" + QByteArray(lines).replace("|", "\r\n") << "Caffè";
        QTest::newRow("windows-1252")
            << calendar("DTSTART:20260105\nSUMMARY:Caff\xE8 \x80 5") << QStringLiteral("Caffè € 5");
        QTest::newRow("UTF-8 cut at the line's end: windows-1252")
            << calendar("DTSTART:20260105\nSUMMARY:Caff\xC3") << QStringLiteral("CaffÃ");
    }
    void lineEndsAndCharsets()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, summary);
        QCOMPARE(read(text).summary, summary);
    }

    // The start as the office's wall clock in Rome.
    void startForms_data()
    {
        QTest::addColumn<QByteArray>("dtstart");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<bool>("wholeDay");
        QTest::newRow("date") << QByteArray("DTSTART;VALUE=DATE:20261231") << wall(2026, 12, 31)
                              << true;
        QTest::newRow("date without VALUE")
            << QByteArray("DTSTART:20260228") << wall(2026, 2, 28) << true;
        QTest::newRow("UTC in winter")
            << QByteArray("DTSTART:20260115T080000Z") << wall(2026, 1, 15, 9) << false;
        QTest::newRow("UTC in summer, to the next day")
            << QByteArray("DTSTART:20260715T230000Z") << wall(2026, 7, 16, 1) << false;
        QTest::newRow("floating") << QByteArray("DTSTART:20260715T093000")
                                  << wall(2026, 7, 15, 9, 30) << false;
        QTest::newRow("another zone") << QByteArray("DTSTART;TZID=America/New_York:20260715T090000")
                                      << wall(2026, 7, 15, 15) << false;
        QTest::newRow("a Windows zone name")
            << QByteArray("DTSTART;TZID=\"Tokyo Standard Time\":20260715T090000")
            << wall(2026, 7, 15, 2) << false;
        QTest::newRow("unknown zone without description: office time")
            << QByteArray("DTSTART;TZID=Ufficio:20260715T090000") << wall(2026, 7, 15, 9) << false;
        QTest::newRow("hour the clocks skip: the offset before")
            << QByteArray("DTSTART;TZID=Europe/Rome:20260329T023000") << wall(2026, 3, 29, 3, 30)
            << false;
        QTest::newRow("leap second") << QByteArray("DTSTART:20261231T235960Z")
                                     << wall(2027, 1, 1, 0, 59).addSecs(59) << false;
    }
    void startForms()
    {
        QFETCH(QByteArray, dtstart);
        QFETCH(QDateTime, start);
        QFETCH(bool, wholeDay);
        const auto event = agenda::readPhoneEvent(calendar(dtstart), kRome);
        QVERIFY2(event.ok(), qPrintable(event.message()));
        QCOMPARE(event->start, start);
        QCOMPARE(event->wholeDay, wholeDay);
    }

    // A zone the reader does not know is placed by the file's own description, rules and their
    // ends included; a description of one fixed offset too.
    void zoneDescribedByTheFile_data()
    {
        QTest::addColumn<QByteArray>("dtstart");
        QTest::addColumn<QDateTime>("start");
        QTest::newRow("winter") << QByteArray("20260115T100000") << wall(2026, 1, 15, 19);
        QTest::newRow("summer") << QByteArray("20260715T100000") << wall(2026, 7, 15, 19);
        QTest::newRow("late October: the rule that ended in 2006 no longer applies")
            << QByteArray("20261028T100000") << wall(2026, 10, 28, 18);
        QTest::newRow("late October 2005: it did")
            << QByteArray("20051031T100000") << wall(2005, 10, 31, 19);
        QTest::newRow("before every change")
            << QByteArray("19600115T100000") << wall(1960, 1, 15, 18);
    }
    void zoneDescribedByTheFile()
    {
        QFETCH(QByteArray, dtstart);
        QFETCH(QDateTime, start);
        const QByteArray text =
            calendar("DTSTART;TZID=\"Ora del Pacifico (personalizzata)\":" + dtstart, kOwnZone);
        QCOMPARE(read(text).start, start);
        const QByteArray fixed =
            calendar("DTSTART;TZID=India:20260715T103000",
                     "BEGIN:VTIMEZONE\nTZID:India\nBEGIN:STANDARD\nDTSTART:19700101T000000\n"
                     "TZOFFSETFROM:+0530\nTZOFFSETTO:+0530\nEND:STANDARD\nEND:VTIMEZONE\n");
        QCOMPARE(read(fixed).start, wall(2026, 7, 15, 7));
    }

    void alarms_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QDateTime>("alarm");
        const QByteArray start = "DTSTART;TZID=Europe/Rome:20260710T090000\n"; // 07:00 UTC
        const auto alarm = [](const QByteArray &trigger) {
            return "BEGIN:VALARM\nACTION:DISPLAY\n" + trigger + "\nEND:VALARM";
        };
        QTest::newRow("absolute") << start + alarm("TRIGGER;VALUE=DATE-TIME:20260709T163000Z")
                                  << wall(2026, 7, 9, 16, 30);
        QTest::newRow("-PT15M") << start + alarm("TRIGGER:-PT15M") << wall(2026, 7, 10, 6, 45);
        QTest::newRow("PT0S") << start + alarm("TRIGGER:PT0S") << wall(2026, 7, 10, 7);
        QTest::newRow("-P1DT2H") << start + alarm("TRIGGER:-P1DT2H") << wall(2026, 7, 9, 5);
        QTest::newRow("-P1W") << start + alarm("trigger:-p1w") << wall(2026, 7, 3, 7);
        QTest::newRow("-P1D across the change of clocks: the same clock time")
            << "DTSTART;TZID=Europe/Rome:20260329T090000\n" + alarm("TRIGGER:-P1D")
            << wall(2026, 3, 28, 8);
        QTest::newRow("whole day, -PT15M: the evening before")
            << "DTSTART;VALUE=DATE:20260710\n" + alarm("TRIGGER:-PT15M")
            << wall(2026, 7, 9, 21, 45);
        QTest::newRow("from DTEND")
            << start + "DTEND:20260710T100000Z\n" + alarm("TRIGGER;RELATED=END:-PT30M")
            << wall(2026, 7, 10, 9, 30);
        QTest::newRow("from the start plus DURATION")
            << start + "DURATION:PT2H\n" + alarm("TRIGGER;RELATED=END:-PT30M")
            << wall(2026, 7, 10, 8, 30);
        QTest::newRow("from the start when the end is not given")
            << start + alarm("TRIGGER;RELATED=END:PT0S") << wall(2026, 7, 10, 7);
        QTest::newRow("only the first alarm")
            << start + alarm("TRIGGER:-PT5M") + "\n" + alarm("TRIGGER:-PT10M")
            << wall(2026, 7, 10, 6, 55);
        QTest::newRow("unreadable") << start + alarm("TRIGGER:-P1M") << QDateTime();
        QTest::newRow("none") << start << QDateTime();
        // What a component of another kind holds inside the event is not the event's.
        QTest::newRow("nested component skipped")
            << "BEGIN:X-ALTRO\nDTSTART:20200101T000000Z\n" + alarm("TRIGGER:-PT1M") +
                   "\nEND:X-ALTRO\n" + start + alarm("TRIGGER:-PT2M")
            << wall(2026, 7, 10, 6, 58);
    }
    void alarms()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QDateTime, alarm);
        const auto event = agenda::readPhoneEvent(calendar(lines), kRome);
        QVERIFY2(event.ok(), qPrintable(event.message()));
        QCOMPARE(event->alarm, alarm);
    }

    // A recurring event's exceptions come with it under the same UID: the series is read.
    void seriesRatherThanItsExceptions()
    {
        QByteArray text = "BEGIN:VCALENDAR\n"
                          "BEGIN:VEVENT\nUID:s\nRECURRENCE-ID:20260112T090000Z\n"
                          "DTSTART:20260112T100000Z\nSUMMARY:spostata\nEND:VEVENT\n"
                          "BEGIN:VEVENT\nUID:altro\nDTSTART:20260101T100000Z\nEND:VEVENT\n"
                          "BEGIN:VEVENT\nUID:s\nDTSTART:20260105T080000Z\nSUMMARY:serie\n"
                          "RRULE:FREQ=WEEKLY\nEND:VEVENT\nEND:VCALENDAR\n";
        QCOMPARE(read(text).summary, QStringLiteral("serie"));
        text.replace("UID:s\nDTSTART", "UID:t\nDTSTART");
        QCOMPARE(read(text).summary, QStringLiteral("spostata"));
    }

    void notAnEvent_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty") << QByteArray();
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919) % 256));
        QTest::newRow("binary") << garbage;
        QTest::newRow("calendar without event")
            << QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nEND:VCALENDAR\r\n");
        QTest::newRow("event outside a calendar")
            << QByteArray("BEGIN:VEVENT\r\nDTSTART:20260101\r\nEND:VEVENT\r\n");
        QTest::newRow("no DTSTART") << calendar("SUMMARY:x");
        QTest::newRow("bad date") << calendar("DTSTART:20261399T250000");
        QTest::newRow("bad time") << calendar("DTSTART:20261231T250000");
        QTest::newRow("year 0") << calendar("DTSTART:00000101");
        QTest::newRow("2026 has no 29 February") << calendar("DTSTART:20260229");
        QTest::newRow("quote never closed") << calendar("DTSTART;TZID=\"Europe/Rome:20260101");
    }
    void notAnEvent()
    {
        QFETCH(QByteArray, text);
        const auto event = agenda::readPhoneEvent(text, kRome);
        QVERIFY(!event.ok());
        QVERIFY(!event.message().isEmpty());
    }

    // Input made to be slow or deep: read in time proportional to its size.
    void hostileInput()
    {
        QByteArray deep = "BEGIN:VCALENDAR\nBEGIN:VEVENT\nDTSTART:20260101\n";
        for (int i = 0; i < 200000; ++i)
            deep += "BEGIN:X\n";
        deep += QByteArray(200000 * 6, 'x').replace("xxxxxx", "END:Y\n");
        QVERIFY(agenda::readPhoneEvent(deep, kRome).ok());

        QByteArray folded = calendar("DTSTART:20260101\nSUMMARY:a");
        folded.insert(folded.indexOf("SUMMARY:a") + 9,
                      QByteArray(3 << 20, 'b').replace("bbb", "\n b"));
        QCOMPARE(read(folded).summary.size(), (1 << 20) + 1);

        QByteArray many = "BEGIN:VCALENDAR\n";
        for (int i = 0; i < 50000; ++i)
            many += "BEGIN:VEVENT\nUID:x\nRECURRENCE-ID:20260101\nDTSTART:20260101\nEND:VEVENT\n";
        for (int i = 0; i < 50000; ++i)
            many += "BEGIN:VTIMEZONE\nTZID:z\nEND:VTIMEZONE\n";
        QVERIFY(agenda::readPhoneEvent(many, kRome).ok());
    }
};

QTEST_APPLESS_MAIN(TestIcalReader)
#include "tst_icalreader.moc"
