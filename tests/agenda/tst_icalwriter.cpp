// The calendar writer without an archive: texts, folding, times in a zone given explicitly, so
// that no test depends on the machine's zone.

#include "agenda/agendaexport.h"
#include "agenda/calendarexport.h"
#include "agenda/icaldatetime.h"
#include "agenda/icaltext.h"
#include "agenda/vevent.h"

#include <QStringDecoder>
#include <QTest>

namespace {

const QTimeZone kRome("Europe/Rome");

QDateTime wall(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

QList<QByteArray> physicalLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray unfolded(const QByteArray &text)
{
    QByteArray copy = text;
    return copy.replace("\r\n ", "");
}

} // namespace

class TestIcalWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textIsEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("escaped");
        QTest::newRow("separators") << "a;b,c\\d"
                                    << "a\\;b\\,c\\\\d";
        QTest::newRow("every kind of line break is one \\n")
            << QStringLiteral("1\r\n2\n3\r4\u20285\u20296\u00857") << "1\\n2\\n3\\n4\\n5\\n6\\n7";
        QTest::newRow("controls dropped, tab kept")
            << QStringLiteral("a\x01\x0b\x1e\x7f\tb") << "a\tb";
        QTest::newRow("no line of its own") << "x\nEND:VEVENT"
                                            << "x\\nEND:VEVENT";
    }
    void textIsEscaped()
    {
        QFETCH(QString, text);
        QFETCH(QString, escaped);
        QCOMPARE(agenda::escapeIcalText(text), escaped);
    }

    // Every length around the limit, with a three-octet character at every position of the cut.
    void linesFoldAt75OctetsWithoutSplittingCharacters()
    {
        for (int ascii = 60; ascii < 80; ++ascii) {
            const QString line = QString(ascii, u'x') + QStringLiteral("€€€ fine");
            QByteArray out;
            agenda::appendIcalLine(out, line);
            QVERIFY(out.endsWith("\r\n"));
            const QList<QByteArray> lines = physicalLines(out);
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const QByteArray &l = lines[i];
                QVERIFY2(l.size() - 1 <= 75, l.constData()); // without its CR
                QCOMPARE(l.startsWith(' '), i > 0);
                QStringDecoder utf8(QStringDecoder::Utf8);
                (void)QString(utf8.decode(l));
                QVERIFY2(!utf8.hasError(), l.constData());
            }
            QCOMPARE(QString::fromUtf8(unfolded(out).chopped(2)), line);
        }
    }

    void timesInRome_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QString>("value");
        const QString rome = QStringLiteral(";TZID=Europe/Rome");
        QTest::newRow("winter") << wall(2024, 3, 5, 9, 7, 3) << rome << "20240305T090703";
        QTest::newRow("midnight is a day") << wall(2024, 3, 5) << ";VALUE=DATE"
                                           << "20240305";
        // 02:30 does not exist on 31/03: the offset before the jump, 01:30 UTC.
        QTest::newRow("skipped") << wall(2024, 3, 31, 2, 30) << ""
                                 << "20240331T013000Z";
        QTest::newRow("after the jump") << wall(2024, 3, 31, 3, 0) << rome << "20240331T030000";
        // 02:30 comes twice on 27/10: the first time, still in summer time, 00:30 UTC.
        QTest::newRow("repeated") << wall(2024, 10, 27, 2, 30) << ""
                                  << "20241027T003000Z";
        QTest::newRow("before the repeat")
            << wall(2024, 10, 27, 1, 59, 59) << rome << "20241027T015959";
        QTest::newRow("after the repeat") << wall(2024, 10, 27, 3, 0) << rome << "20241027T030000";
        QTest::newRow("year 999") << wall(999, 6, 15, 10, 30) << rome << "09990615T103000";
        QTest::newRow("null") << QDateTime() << ""
                              << "";
    }
    void timesInRome()
    {
        QFETCH(QDateTime, time);
        QFETCH(QString, parameters);
        QFETCH(QString, value);
        const agenda::IcalZone zone = agenda::IcalZone::of(kRome, {999, 2024, 2040});
        const agenda::IcalDateValue written = agenda::DataOraICal(time, zone);
        QCOMPARE(written.parameters, parameters);
        QCOMPARE(written.value, value);
    }

    void zoneFormFollowsTheRules()
    {
        const agenda::IcalZone utc = agenda::IcalZone::of(QTimeZone::utc(), {2024});
        QCOMPARE(utc.form(), agenda::IcalZone::Form::Utc);
        QCOMPARE(agenda::DataOraICal(wall(2024, 3, 5, 9, 7, 3), utc).value, "20240305T090703Z");
        // UTC in winter, but not all along.
        QCOMPARE(agenda::IcalZone::of(QTimeZone("Europe/London"), {2024}).form(),
                 agenda::IcalZone::Form::Zoned);
        QCOMPARE(agenda::IcalZone::of(QTimeZone(), {2024}).form(),
                 agenda::IcalZone::Form::Floating);
    }

    // Only the years the times fall in are described, each run of them from the offset in force
    // the day before; never a moment before year 1.
    void zoneDescribesTheYearsOfTheTimes()
    {
        const QStringList lines = agenda::IcalZone::of(kRome, {1, 2039, 2040}).vtimezone();
        const QStringList onsets = lines.filter(QStringLiteral("DTSTART:"));
        QCOMPARE(onsets, QStringList({"DTSTART:00010101T005000", "DTSTART:20381231T000000",
                                      "DTSTART:20390327T020000", "DTSTART:20391030T030000",
                                      "DTSTART:20400325T020000", "DTSTART:20401028T030000"}));
        QCOMPARE(lines.filter(QStringLiteral("TZOFFSET")).mid(0, 4),
                 QStringList({"TZOFFSETFROM:+004956", "TZOFFSETTO:+004956", "TZOFFSETFROM:+0100",
                              "TZOFFSETTO:+0100"}));
    }

    // Whatever a text holds, each property stays one line and the block one event.
    void eventHoldsOneLinePerProperty()
    {
        agenda::VEvent e;
        e.created = {{}, QStringLiteral("20240304T230000Z")};
        e.dtstart = {QStringLiteral(";TZID=Europe/Rome"), QStringLiteral("20240305T090703")};
        e.summary = QStringLiteral("a\r\nEND:VEVENT\r\nBEGIN:VEVENT\nb");
        e.priority = QStringLiteral("1\nEND:VCALENDAR");
        e.uid = QStringLiteral("u;1");
        const QByteArray out = agenda::ComponiVEvent(e);
        const QList<QByteArray> lines = physicalLines(unfolded(out));
        QCOMPARE(lines.size(), 2 + 5 + agenda::kVEventExtraLines);
        QCOMPARE(lines[0], "BEGIN:VEVENT\r");
        QCOMPARE(lines[1], "CREATED:20240304T230000Z\r");
        QCOMPARE(lines[2], "DTSTART;TZID=Europe/Rome:20240305T090703\r");
        QCOMPARE(lines[3], "PRIORITY:1END:VCALENDAR\r");
        QCOMPARE(lines[4], "SUMMARY;LANGUAGE=it-IT:a\\nEND:VEVENT\\nBEGIN:VEVENT\\nb\r");
        QCOMPARE(lines[5], "UID:u\\;1\r");
        QCOMPARE(lines.last(), "END:VEVENT\r");
    }

    void calendarFrame()
    {
        const agenda::IcalSettings settings{
            kRome, QDateTime(QDate(2024, 3, 5), QTime(10, 0), kRome), QUuid::createUuid()};
        const agenda::IcalExport empty = agenda::composeCalendar({}, settings);
        QCOMPARE(empty.text, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:Calendario-Calvetra\r\n"
                             "END:VCALENDAR\r\n");

        // Whole days only: no zone to describe. The stamps are UTC: 10:00 in Rome is 09:00,
        // the day began at 23:00 the day before.
        const agenda::IcalExport days =
            agenda::composeCalendar({{1, wall(2024, 12, 31), {}, {}, {}, {}, {}, false},
                                     {2, QDateTime(), {}, {}, {}, {}, {}, false}},
                                    settings);
        QCOMPARE(days.events, 1);
        QCOMPARE(days.undated, 1);
        QVERIFY(!days.text.contains("VTIMEZONE"));
        QVERIFY(days.text.contains("\r\nDTEND;VALUE=DATE:20250101\r\n"));
        QVERIFY(days.text.contains("\r\nDTSTAMP:20240305T090000Z\r\n"));
        QVERIFY(days.text.contains("\r\nCREATED:20240304T230000Z\r\n"));
        QVERIFY(!unfolded(days.text).contains("\r\n\r\n"));

        const agenda::IcalExport timed = agenda::composeCalendar(
            {{1, wall(2024, 3, 5, 9, 7, 3), {}, {}, {}, {}, {}, false}}, settings);
        QVERIFY(timed.text.contains("\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Rome\r\n"));
        // An hour long on a phone, not a moment.
        QVERIFY(timed.text.contains("\r\nDTEND;TZID=Europe/Rome:20240305T100703\r\n"));
        QVERIFY(!timed.text.contains("VALARM"));
    }

    // The reminder's day rings on the phone: at nine in the office's zone, or at the
    // appointment's own time when that comes first; a done appointment rings no more.
    void theReminderIsAnAlarm()
    {
        const agenda::IcalSettings settings{
            kRome, QDateTime(QDate(2024, 3, 5), QTime(10, 0), kRome), QUuid::createUuid()};
        agenda::Appointment dayBefore{1,       wall(2024, 7, 5, 15, 30), {},   {}, "Rossi",
                                      "Firma", wall(2024, 7, 4),         false};
        agenda::Appointment sameMorning{2,  wall(2024, 12, 5, 8, 15), {},   {}, "Bianchi",
                                        {}, wall(2024, 12, 5),        false};
        agenda::Appointment wholeDay{3,  wall(2024, 12, 6), {},   {}, "Verdi",
                                     {}, wall(2024, 12, 6), false};
        agenda::Appointment done = dayBefore;
        done.id = 4;
        done.conclusa = true;
        const QByteArray text =
            agenda::composeCalendar({dayBefore, sameMorning, wholeDay, done}, settings).text;
        const QByteArray flat = unfolded(text);
        // Summer: 09:00 in Rome is 07:00 UTC; winter: 08:15 is 07:15 UTC, 09:00 is 08:00.
        QVERIFY(flat.contains("BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Rossi : "
                              "Firma\r\nTRIGGER;VALUE=DATE-TIME:20240704T070000Z\r\n"
                              "END:VALARM\r\nEND:VEVENT\r\n"));
        QVERIFY(flat.contains("TRIGGER;VALUE=DATE-TIME:20241205T071500Z\r\n"));
        QVERIFY(flat.contains("TRIGGER;VALUE=DATE-TIME:20241206T080000Z\r\n"));
        QCOMPARE(flat.count("BEGIN:VALARM"), 3);
        QCOMPARE(flat.count("END:VALARM"), 3);
    }

    void summaryAndFileName()
    {
        QCOMPARE(agenda::composeSummary("Anna", "Telefonata", "Rossi", "Richiamare"),
                 "Anna - Telefonata / Rossi : Richiamare");
        // Only the parts present, each with its own separator: nothing dangles.
        QCOMPARE(agenda::composeSummary("Anna", {}, {}, {}), "Anna");
        QCOMPARE(agenda::composeSummary({}, {}, "Rossi", {}), "Rossi");
        QCOMPARE(agenda::composeSummary({}, {}, "Rossi", "Richiamare"), "Rossi : Richiamare");
        QCOMPARE(agenda::composeSummary("Anna", {}, "Rossi", " "), "Anna - Rossi");
        QCOMPARE(agenda::composeSummary({}, "Telefonata", {}, "Richiamare"),
                 "Telefonata / Richiamare");
        QCOMPARE(agenda::composeSummary({}, {}, {}, {}), "Appuntamento");
        // The extension only when the name itself has no dot, whatever its folder's name.
        QCOMPARE(agenda::icalFileName("/tmp/a.b/Calendario"), "/tmp/a.b/Calendario.ics");
        QCOMPARE(agenda::icalFileName("/tmp/Calendario.txt"), "/tmp/Calendario.txt");
    }
};

QTEST_APPLESS_MAIN(TestIcalWriter)
#include "tst_icalwriter.moc"
