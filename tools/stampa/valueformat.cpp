#include "tools/stampa/valueformat.h"

#include "common/dates.h"
#include "db/core/datetimes.h"

#include <QDateTime>

#include <cmath>

namespace stampa {

namespace {

struct FormatName
{
    const char16_t *name;
    ValueFormat format;
};

constexpr FormatName kFormatNames[] = {
    {u"text", ValueFormat::Text},         {u"date", ValueFormat::Date},
    {u"datetime", ValueFormat::DateTime}, {u"amount", ValueFormat::Amount},
    {u"number", ValueFormat::Number},     {u"integer", ValueFormat::Integer},
    {u"yesno", ValueFormat::YesNo},       {u"fields", ValueFormat::WithFields},
    {u"time", ValueFormat::Time},
};

// 1234567 -> "1.234.567"
QString grouped(quint64 units)
{
    QString digits = QString::number(units);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u'.');
    return digits;
}

QDateTime asDateTime(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() == QMetaType::QDate)
        return db::naiveDateTime(value.toDate());
    return db::parseStoredDateTime(value.toString());
}

QString numberText(double value)
{
    // Up to four decimals, as the archive keeps them, without trailing zeros.
    QString text = QString::number(value, 'f', 4);
    while (text.contains(u'.') && (text.endsWith(u'0') || text.endsWith(u'.')))
        text.chop(1);
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

QString italianNumber(double value)
{
    QString text = numberText(value);
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype dot = text.indexOf(u'.');
    const QString whole = dot < 0 ? text : text.left(dot);
    QString result = grouped(whole.toULongLong());
    if (dot >= 0)
        result += u',' + text.mid(dot + 1);
    return negative ? u'-' + result : result;
}

} // namespace

bool valueFormatFromName(QStringView name, ValueFormat *format)
{
    for (const FormatName &f : kFormatNames) {
        if (name.compare(QStringView(f.name), Qt::CaseInsensitive) == 0) {
            *format = f.format;
            return true;
        }
    }
    return false;
}

qint64 toTenThousandths(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return 0;
    return std::llround(value.toDouble() * 10000.0);
}

QString formatAmount(qint64 tenThousandths)
{
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = quint64(negative ? -tenThousandths : tenThousandths);
    const quint64 cents = (magnitude + 50) / 100;
    if (cents == 0)
        return QStringLiteral("0,00 €");
    const QString text =
        grouped(cents / 100) + u',' + QString::number(cents % 100).rightJustified(2, u'0');
    return (negative ? QStringLiteral("-") : QString()) + text + QStringLiteral(" €");
}

QString formatValue(const QVariant &value, db::FieldKind kind, ValueFormat format)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (format == ValueFormat::Auto) {
        switch (kind) {
        case db::FieldKind::Date:
            format = ValueFormat::Date;
            break;
        case db::FieldKind::Currency:
            format = ValueFormat::Amount;
            break;
        case db::FieldKind::Bool:
            format = ValueFormat::YesNo;
            break;
        case db::FieldKind::Real:
            format = ValueFormat::Number;
            break;
        case db::FieldKind::Binary:
            return {};
        default:
            if (value.metaType().id() == QMetaType::QDateTime)
                format = ValueFormat::Date;
            else if (value.metaType().id() == QMetaType::Double)
                format = ValueFormat::Number;
            else if (value.metaType().id() == QMetaType::Bool)
                format = ValueFormat::YesNo;
            else if (value.metaType().id() == QMetaType::QByteArray)
                return {};
            else
                format = ValueFormat::Text;
        }
    }
    switch (format) {
    case ValueFormat::Date: {
        const QDateTime d = asDateTime(value);
        return d.isValid() ? ScriviDataItaliana(d.date()) : value.toString();
    }
    case ValueFormat::DateTime: {
        const QDateTime d = asDateTime(value);
        return d.isValid() ? db::italianDateText(d) : value.toString();
    }
    case ValueFormat::Time: {
        // Midnight is a day without an hour, as the program shows it.
        const QDateTime d = asDateTime(value);
        if (!d.isValid())
            return value.toString();
        const QTime time = db::toNaive(d).time();
        return time == QTime(0, 0) ? QString() : time.toString(QStringLiteral("hh:mm"));
    }
    case ValueFormat::Amount:
        return formatAmount(toTenThousandths(value));
    case ValueFormat::Number:
        return italianNumber(value.toDouble());
    case ValueFormat::Integer:
        return grouped(quint64(std::llabs(value.toLongLong())))
            .prepend(value.toLongLong() < 0 ? QStringLiteral("-") : QString());
    case ValueFormat::YesNo:
        return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    case ValueFormat::Text:
    case ValueFormat::WithFields:
    case ValueFormat::Auto:
        break;
    }
    return value.toString();
}

QString plainValue(const QVariant &value, db::FieldKind kind)
{
    if (!value.isValid() || value.isNull())
        return {};
    const int type = value.metaType().id();
    if (kind == db::FieldKind::Binary || type == QMetaType::QByteArray)
        return {};
    if (type == QMetaType::QDateTime || kind == db::FieldKind::Date) {
        const QDateTime d = asDateTime(value);
        return d.isValid() ? db::italianDateText(d) : value.toString();
    }
    if (type == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("Sì") : QStringLiteral("No");
    if (type == QMetaType::Double)
        return numberText(value.toDouble());
    return value.toString();
}

} // namespace stampa
