#include "vcard/vcardvalues.h"

#include "common/dates.h"

namespace vcard {

namespace {

const QString kNumberMark = QStringLiteral("N°");

bool digits(QStringView s)
{
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !s.isEmpty();
}

// Where the last "N°" that starts the text or follows a blank begins; -1 when there is none.
qsizetype lastNumberMark(QStringView text)
{
    for (qsizetype at = text.lastIndexOf(kNumberMark); at >= 0;
         at = at == 0 ? -1 : text.left(at).lastIndexOf(kNumberMark)) {
        if (at == 0 || text[at - 1] == u' ')
            return at;
    }
    return -1;
}

} // namespace

QString joinStreet(const QString &street, const QString &number)
{
    if (number.isEmpty()) {
        // A street that itself holds "N°" keeps an empty mark after it, or reading it back
        // would take its tail for a civic number.
        if (lastNumberMark(street) >= 0)
            return street + u' ' + kNumberMark;
        return street;
    }
    if (street.isEmpty())
        return kNumberMark + number;
    return street + u' ' + kNumberMark + number;
}

StreetAndNumber splitStreet(QStringView component)
{
    const qsizetype at = lastNumberMark(component);
    if (at < 0)
        return {component.trimmed().toString(), {}};
    return {component.left(at).trimmed().toString(),
            component.mid(at + kNumberMark.size()).trimmed().toString()};
}

CardDate readCardDate(QStringView value)
{
    value = value.trimmed();
    if (value.startsWith(u"--"))
        return {CardDate::Kind::Partial, {}};
    qsizetype end = 0;
    while (end < value.size() && value[end] != u'T' && value[end] != u't' && value[end] != u' ')
        ++end;
    const QStringView date = value.left(end);
    if (date.size() == 10 && date[4] == u'-' && date[7] == u'-') {
        const db::Result<QDate> read = LeggiDataIso(date);
        if (read)
            return {CardDate::Kind::Date, *read};
        return {};
    }
    if (date.size() == 8 && digits(date)) {
        const QDate read(date.left(4).toInt(), date.mid(4, 2).toInt(), date.mid(6, 2).toInt());
        if (read.isValid())
            return {CardDate::Kind::Date, read};
        return {};
    }
    if (end == value.size() &&
        ((date.size() == 4 && digits(date)) ||
         (date.size() == 7 && date[4] == u'-' && digits(date.left(4)) && digits(date.mid(5)))))
        return {CardDate::Kind::Partial, {}};
    return {};
}

QString slotDate(QDate date)
{
    return QString::asprintf("%04d-%02d-%02d", date.year(), date.month(), date.day());
}

QString basicDate(QDate date)
{
    return QString::asprintf("%04d%02d%02d", date.year(), date.month(), date.day());
}

} // namespace vcard
