#include "db/core/datetimes.h"

#include <optional>

namespace db {

QDateTime naiveDateTime(QDate date, QTime time)
{
    return QDateTime(date, time, Qt::UTC);
}

QDateTime toNaive(const QDateTime &any)
{
    if (!any.isValid())
        return {};
    return any.timeSpec() == Qt::UTC ? any : naiveDateTime(any.date(), any.time());
}

QString storedDateTimeText(const QDateTime &value)
{
    const QDateTime naive = toNaive(value);
    const QDate date = naive.date();
    // Written by hand, as QDateTime::toString would write it: every stored date passes here,
    // and the format string is read again at each call there.
    if (!naive.isValid() || date.year() < 1000 || date.year() > 9999)
        return naive.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    const QTime time = naive.time();
    char16_t text[19];
    const auto put = [&text](int at, int width, int number) {
        for (int i = at + width - 1; i >= at; --i, number /= 10)
            text[i] = char16_t(u'0' + number % 10);
    };
    put(0, 4, date.year());
    text[4] = u'-';
    put(5, 2, date.month());
    text[7] = u'-';
    put(8, 2, date.day());
    text[10] = u' ';
    put(11, 2, time.hour());
    text[13] = u':';
    put(14, 2, time.minute());
    text[16] = u':';
    put(17, 2, time.second());
    return QString(reinterpret_cast<const QChar *>(text), 19);
}

namespace {

int digits(QStringView text, qsizetype from, qsizetype count)
{
    if (from + count > text.size())
        return -1;
    int v = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const QChar c = text[i];
        if (!c.isDigit())
            return -1;
        v = v * 10 + c.digitValue();
    }
    return v;
}

} // namespace

QDateTime parseStoredDateTime(QStringView text)
{
    text = text.trimmed();
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    const QDate date(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2));
    if (!date.isValid())
        return {};
    if (text.size() == 10)
        return naiveDateTime(date);
    if ((text[10] != u' ' && text[10] != u'T') || text.size() < 16 || text[13] != u':')
        return {};
    const int h = digits(text, 11, 2);
    const int m = digits(text, 14, 2);
    int s = 0;
    if (text.size() >= 19) {
        if (text[16] != u':')
            return {};
        s = digits(text, 17, 2);
        const QStringView rest = text.mid(19);
        if (!rest.isEmpty() && rest[0] != u'.')
            return {};
    } else if (text.size() != 16) {
        return {};
    }
    const QTime time(h, m, s);
    if (!time.isValid())
        return {};
    return naiveDateTime(date, time);
}

QString italianDateText(const QDateTime &value)
{
    if (!value.isValid())
        return {};
    const QDateTime naive = toNaive(value);
    QString text = naive.date().toString(QStringLiteral("dd/MM/yyyy"));
    if (naive.time() != QTime(0, 0))
        text += naive.time().toString(QStringLiteral(" hh:mm:ss"));
    return text;
}

namespace clock {

namespace {
std::optional<QDateTime> &fixedMoment()
{
    static std::optional<QDateTime> moment;
    return moment;
}
} // namespace

QDateTime now()
{
    if (fixedMoment())
        return *fixedMoment();
    const QDateTime local = QDateTime::currentDateTime();
    return naiveDateTime(local.date(),
                         QTime(local.time().hour(), local.time().minute(), local.time().second()));
}

QDate today()
{
    return now().date();
}

void setFixedNow(const QDateTime &moment)
{
    fixedMoment() = toNaive(moment);
}

void useSystemTime()
{
    fixedMoment().reset();
}

bool isFixed()
{
    return fixedMoment().has_value();
}

} // namespace clock

} // namespace db
