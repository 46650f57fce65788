#include "jet/jetvalues.h"

#include "db/core/datetimes.h"

#include <cmath>

namespace jet {

QDateTime dateTimeFromJet(double days)
{
    // 30/12/1899 is day 0; 1/1/100 and 31/12/9999 are the ends Jet itself allows.
    constexpr double kFirst = -657434.0, kLast = 2958465.999999;
    if (!std::isfinite(days) || days < kFirst || days > kLast)
        return {};
    const double whole = std::trunc(days);
    const qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    const QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(whole));
    return db::naiveDateTime(day).addSecs(seconds);
}

QString textFromJet(QByteArrayView stored)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(stored.data());
    const qsizetype size = stored.size();
    // An empty text is a text, never a null.
    QString text = QStringLiteral("");
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text.reserve(size - 2);
        bool oneByte = true;
        qsizetype i = 2;
        while (i < size) {
            if (bytes[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                text.append(QChar(char16_t(bytes[i])));
                ++i;
            } else if (i + 1 < size) {
                text.append(QChar(char16_t(bytes[i] | (bytes[i + 1] << 8))));
                i += 2;
            } else {
                break;
            }
        }
        return text;
    }
    text.resize(size / 2);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (qsizetype i = 0; i + 1 < size; i += 2)
        out[i / 2] = char16_t(bytes[i] | (bytes[i + 1] << 8));
    return text;
}

double moneyFromJet(qint64 tenThousandths)
{
    return static_cast<double>(tenThousandths) / 10000.0;
}

} // namespace jet
