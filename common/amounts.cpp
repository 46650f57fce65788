#include "common/amounts.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

// "1.234.567" -> "1234567" when the dots group the thousands; empty otherwise.
QString withoutThousands(const QString &s)
{
    const QStringList groups = s.split(u'.');
    if (groups.size() == 1)
        return allDigits(s) ? s : QString();
    if (groups[0].isEmpty() || groups[0].size() > 3 || !allDigits(groups[0]))
        return {};
    for (qsizetype i = 1; i < groups.size(); ++i) {
        if (groups[i].size() != 3 || !allDigits(groups[i]))
            return {};
    }
    return groups.join(QString());
}

} // namespace

std::optional<double> LeggiImporto(const QString &text)
{
    QString s = text.trimmed();
    s.remove(u'€');
    s.remove(u' ');
    s.remove(QChar(0x00A0));
    bool negative = false;
    if (s.startsWith(u'-')) {
        negative = true;
        s.remove(0, 1);
    }
    QString whole = s;
    QString decimals;
    const qsizetype comma = s.lastIndexOf(u',');
    if (comma >= 0) {
        whole = s.left(comma);
        decimals = s.mid(comma + 1);
        whole = withoutThousands(whole);
    } else if (s.count(u'.') == 1 && s.section(u'.', 1).size() != 3) {
        whole = s.section(u'.', 0, 0);
        decimals = s.section(u'.', 1);
    } else {
        whole = withoutThousands(s);
    }
    if (whole.isEmpty() || !allDigits(whole) || (comma >= 0 && !allDigits(decimals)) ||
        (!decimals.isEmpty() && !allDigits(decimals)))
        return std::nullopt;
    bool ok = false;
    const double value =
        (whole + u'.' + (decimals.isEmpty() ? QStringLiteral("0") : decimals)).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    // Amounts are in euros and cents.
    const double cents = std::round(value * 100.0) / 100.0;
    return negative ? -cents : cents;
}

QString ScriviImporto(double amount)
{
    return QLocale(QLocale::Italian, QLocale::Italy).toString(amount, 'f', 2) +
           QStringLiteral(" €");
}
