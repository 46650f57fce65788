// The calendar writer on any note text: the file has the same lines, after unfolding, as the
// one written with an empty note, except the summary's, so no text adds a line or a component;
// every physical line is valid UTF-8 within 75 octets. Every text property of an event given
// the same text stays one line too.

#include "agenda/calendarexport.h"
#include "agenda/vevent.h"
#include "fuzz/fuzzcheck.h"

#include <QStringDecoder>

namespace {

const agenda::IcalSettings &settings()
{
    static const agenda::IcalSettings s{
        QTimeZone("Europe/Rome"), QDateTime(QDate(2024, 3, 5), QTime(10, 0), Qt::UTC),
        QUuid::fromString(QStringLiteral("6f1c1d0e-3d55-4b7e-9a51-0c2f1c7a8b90"))};
    return s;
}

QList<agenda::Appointment> appointments(const QString &note)
{
    const auto at = [](QDate d, QTime t) { return QDateTime(d, t, Qt::UTC); };
    return {{1, at(QDate(2024, 10, 27), QTime(2, 30)), QStringLiteral("Anna"),
             QStringLiteral("Telefonata"), QStringLiteral("Rossi"), note,
             at(QDate(2024, 10, 26), QTime(0, 0)), false},
            {2, at(QDate(2024, 3, 5), QTime(0, 0)), {}, {}, {}, note, {}, false},
            {3, QDateTime(), {}, {}, {}, note, {}, false}};
}

QList<QByteArray> unfoldedLines(const QByteArray &text)
{
    QByteArray copy = text;
    copy.replace("\r\n ", "");
    QList<QByteArray> lines = copy.split('\n');
    FUZZ_CHECK(lines.last().isEmpty());
    lines.removeLast();
    for (QByteArray &line : lines) {
        FUZZ_CHECK(line.endsWith('\r'));
        line.chop(1);
        FUZZ_CHECK(!line.contains('\r'));
    }
    return lines;
}

void checkPhysicalLines(const QByteArray &text)
{
    FUZZ_CHECK(text.endsWith("\r\n"));
    for (const QByteArray &line : text.split('\n')) {
        FUZZ_CHECK(line.size() <= 76); // 75 octets and the CR
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8.decode(line));
        FUZZ_CHECK(!utf8.hasError());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString note = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));

    static const QList<QByteArray> reference =
        unfoldedLines(agenda::composeCalendar(appointments({}), settings()).text);
    const agenda::IcalExport done = agenda::composeCalendar(appointments(note), settings());
    FUZZ_CHECK(done.events == 2 && done.undated == 1);
    checkPhysicalLines(done.text);
    const QList<QByteArray> lines = unfoldedLines(done.text);
    FUZZ_CHECK(lines.size() == reference.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // The title is made of the parts present, and the reminder shows the title: the same
        // property, whatever follows.
        if (reference[i].startsWith("SUMMARY") || reference[i].startsWith("DESCRIPTION"))
            FUZZ_CHECK(lines[i].startsWith(reference[i].left(reference[i].indexOf(':') + 1)));
        else
            FUZZ_CHECK(lines[i] == reference[i]);
    }

    agenda::VEvent event;
    event.description = event.location = event.priority = event.sequence = event.summary =
        event.opaque = event.uid = note;
    event.dtstart = {QStringLiteral(";TZID=Europe/Rome"), QStringLiteral("20240305T090703")};
    const QByteArray block = agenda::ComponiVEvent(event);
    checkPhysicalLines(block);
    const int properties = note.isEmpty() ? 1 : 8;
    const QList<QByteArray> blockLines = unfoldedLines(block);
    FUZZ_CHECK(blockLines.size() == 2 + properties + agenda::kVEventExtraLines);
    for (qsizetype i = 1; i + 1 < blockLines.size(); ++i)
        FUZZ_CHECK(!blockLines[i].startsWith("BEGIN:") && !blockLines[i].startsWith("END:"));
    return 0;
}
