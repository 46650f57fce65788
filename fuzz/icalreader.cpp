// The reader of a phone's calendar resource on any bytes. An event it reads has a start marked
// as the archive's times are, a whole day at midnight, an alarm in UTC or none; written back by
// the program's own writer, the start and the title read the same again.

#include "agenda/icalreader.h"
#include "agenda/calendarexport.h"
#include "agenda/icaldatetime.h"
#include "fuzz/fuzzcheck.h"

namespace {

const QTimeZone &rome()
{
    static const QTimeZone zone("Europe/Rome");
    return zone;
}

void checkShape(const db::Result<agenda::PhoneEvent> &event)
{
    if (!event.ok()) {
        FUZZ_CHECK(!event.message().isEmpty());
        return;
    }
    FUZZ_CHECK(event->start.isValid() && event->start.timeSpec() == Qt::UTC);
    FUZZ_CHECK(!event->wholeDay || event->start.time() == QTime(0, 0));
    FUZZ_CHECK(!event->alarm.isValid() || event->alarm.timeSpec() == Qt::UTC);
}

// Text the writer keeps as it is: no control characters or line breaks of other kinds, nothing
// trimmed away.
bool writtenAsIs(const QString &text)
{
    if (text.isEmpty() || text.trimmed() != text)
        return false;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\n' && u != u'\t') || u == 0x7f || u == 0x85 || u == 0x2028 ||
            u == 0x2029)
            return false;
    }
    return true;
}

// A wall-clock time of Rome that the clocks do not skip: the writer writes it with the zone.
bool existsInRome(const QDateTime &wall)
{
    const QDateTime zoned(wall.date(), wall.time(), rome());
    return zoned.isValid() && zoned.date() == wall.date() && zoned.time() == wall.time();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView text(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<agenda::PhoneEvent> event = agenda::readPhoneEvent(text, rome());
    checkShape(event);
    checkShape(agenda::readPhoneEvent(text, QTimeZone()));
    if (!event.ok() || !agenda::isIcalYear(event->start.date().year()) ||
        !existsInRome(event->start))
        return 0;

    const agenda::Appointment appointment{1, event->start, {}, {}, {}, event->summary, {}, false};
    const agenda::IcalSettings settings{rome(), QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC),
                                        QUuid()};
    const agenda::IcalExport file = agenda::composeCalendar({appointment}, settings);
    const db::Result<agenda::PhoneEvent> again = agenda::readPhoneEvent(file.text, rome());
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again->start == event->start);
    if (writtenAsIs(event->summary))
        FUZZ_CHECK(again->summary == event->summary);
    return 0;
}
