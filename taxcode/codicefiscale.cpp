#include "taxcode/codicefiscale.h"

#include <array>

namespace {

// Values of the characters in odd places (first, third, ...) for the check character; digits
// count as the letter of the same rank (0 as A, 1 as B, ...).
constexpr std::array<int, 26> kOddValues = {1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                            20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
// The month letters, January to December.
constexpr char16_t kMonths[] = u"ABCDEHLMPRST";
// The letters that stand for the digits 0-9 in a code changed to tell two persons apart.
constexpr char16_t kOmocodia[] = u"LMNPQRSTUV";

bool isLetter(QChar c)
{
    return c >= u'A' && c <= u'Z';
}
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A digit of the date or the place, also as its substitute letter; -1 when neither.
int codeDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    for (int d = 0; d < 10; ++d) {
        if (kOmocodia[d] == c)
            return d;
    }
    return -1;
}

int rank(QChar c)
{
    return isDigit(c) ? c.unicode() - u'0' : c.unicode() - u'A';
}

int monthOf(QChar c)
{
    for (int m = 0; m < 12; ++m) {
        if (kMonths[m] == c)
            return m + 1;
    }
    return 0;
}

TaxCodeCheck notValid(TaxCodeCheck check, const QString &reason)
{
    check.valid = false;
    check.reason = reason;
    return check;
}

// The first character that no tax code holds, or a null character.
QChar foreignCharacter(const QString &code)
{
    for (QChar c : code) {
        if (!isLetter(c) && !isDigit(c))
            return c;
    }
    return {};
}

// The year with these two last digits, on the day and month given, in the hundred years up to
// today.
int centuryYear(int twoDigits, int month, int day, QDate today)
{
    int year = today.year() - today.year() % 100 + twoDigits;
    const bool later = year > today.year() ||
                       (year == today.year() &&
                        (month > today.month() || (month == today.month() && day > today.day())));
    if (later)
        year -= 100;
    return year;
}

TaxCodeCheck checkPersonal(TaxCodeCheck check, QDate today)
{
    const QString &c = check.code;
    for (int i = 0; i < 6; ++i) {
        if (!isLetter(c[i]))
            return notValid(
                check,
                QStringLiteral("i primi sei caratteri (cognome e nome) devono essere lettere"));
    }
    const int y1 = codeDigit(c[6]), y2 = codeDigit(c[7]);
    if (y1 < 0 || y2 < 0)
        return notValid(check, QStringLiteral("anno di nascita non valido: %1").arg(c.mid(6, 2)));
    const int month = monthOf(c[8]);
    if (month == 0)
        return notValid(check, QStringLiteral("mese di nascita non valido: %1").arg(c[8]));
    const int d1 = codeDigit(c[9]), d2 = codeDigit(c[10]);
    const int day = d1 * 10 + d2;
    if (d1 < 0 || d2 < 0 || !((day >= 1 && day <= 31) || (day >= 41 && day <= 71)))
        return notValid(check, QStringLiteral("giorno di nascita non valido: %1").arg(c.mid(9, 2)));
    QString place = c.mid(11, 4);
    const bool placeLetter = (c[11] >= u'A' && c[11] <= u'M') || c[11] == u'Z';
    for (int i = 1; i < 4; ++i) {
        const int digit = codeDigit(place[i]);
        if (digit < 0 || !placeLetter)
            return notValid(
                check, QStringLiteral("codice del luogo di nascita non valido: %1").arg(place));
        place[i] = QChar(u'0' + digit);
    }
    if (!isLetter(c[15]))
        return notValid(
            check, QStringLiteral("l'ultimo carattere (di controllo) deve essere una lettera"));
    const int dayOfMonth = day > 40 ? day - 40 : day;
    const int year = centuryYear(y1 * 10 + y2, month, dayOfMonth, today);
    const QDate birth(year, month, dayOfMonth);
    if (!birth.isValid()) {
        return notValid(check, QStringLiteral("data di nascita inesistente: %1/%2/%3")
                                   .arg(dayOfMonth, 2, 10, QChar(u'0'))
                                   .arg(month, 2, 10, QChar(u'0'))
                                   .arg(year));
    }
    const QChar expected = taxCodeCheckCharacter(QStringView(c).left(15));
    if (c[15] != expected)
        return notValid(check,
                        QStringLiteral("carattere di controllo errato: atteso %1").arg(expected));
    check.valid = true;
    check.birthDate = birth;
    check.sex = day > 40 ? u'F' : u'M';
    check.placeCode = place;
    return check;
}

// Office codes of the revenue agency: the provinces' offices 001-100 and the special ones.
bool isOfficeCode(QStringView office)
{
    const int n = office.toInt();
    return (n >= 1 && n <= 100) || n == 120 || n == 121 || n == 888 || n == 999;
}

TaxCodeCheck checkNumeric(TaxCodeCheck check)
{
    const QString &c = check.code;
    if (QStringView(c).left(7) == u"0000000")
        return notValid(check, QStringLiteral("numero di matricola non valido: 0000000"));
    if (!isOfficeCode(QStringView(c).mid(7, 3)))
        return notValid(check,
                        QStringLiteral("codice dell'ufficio non valido: %1").arg(c.mid(7, 3)));
    const QChar expected = vatCheckDigit(QStringView(c).left(10));
    if (c[10] != expected)
        return notValid(check,
                        QStringLiteral("cifra di controllo errata: attesa %1").arg(expected));
    check.valid = true;
    return check;
}

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

} // namespace

QString normalizedTaxCode(QStringView text)
{
    QString code;
    code.reserve(text.size());
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        code.append(c >= u'a' && c <= u'z' ? QChar(c.unicode() - u'a' + u'A') : c);
    }
    return code;
}

QString omocodiaBase(QStringView text)
{
    QString code = normalizedTaxCode(text);
    if (code.size() != 16)
        return code;
    for (int place : {7, 8, 10, 11, 13, 14, 15}) {
        const int digit = codeDigit(code[place - 1]);
        if (digit >= 0)
            code[place - 1] = QChar(u'0' + digit);
    }
    const QChar check = taxCodeCheckCharacter(QStringView(code).left(15));
    if (!check.isNull())
        code[15] = check;
    return code;
}

QChar taxCodeCheckCharacter(QStringView first15)
{
    if (first15.size() != 15)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < 15; ++i) {
        const QChar c = first15[i];
        if (!isLetter(c) && !isDigit(c))
            return {};
        // Places are counted from one: the first character is in an odd place.
        sum += i % 2 == 0 ? kOddValues[size_t(rank(c))] : rank(c);
    }
    return QChar(u'A' + sum % 26);
}

QChar vatCheckDigit(QStringView first10)
{
    if (first10.size() != 10)
        return {};
    int sum = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        if (!isDigit(first10[i]))
            return {};
        const int digit = first10[i].unicode() - u'0';
        // The digits in even places count double, less 9 when the double has two digits.
        const int counted = i % 2 == 0 ? digit : digit * 2 - (digit >= 5 ? 9 : 0);
        sum += counted;
    }
    return QChar(u'0' + (10 - sum % 10) % 10);
}

TaxCodeCheck checkCodiceFiscale(QStringView text, QDate today)
{
    TaxCodeCheck check;
    check.code = normalizedTaxCode(text);
    if (check.code.isEmpty())
        return check;
    check.kind = TaxCodeCheck::Kind::Other;
    if (const QChar bad = foreignCharacter(check.code); !bad.isNull())
        return notValid(check, QStringLiteral("carattere non ammesso: %1").arg(bad));
    if (check.code.size() == 16) {
        check.kind = TaxCodeCheck::Kind::Personal;
        return checkPersonal(check, today);
    }
    if (check.code.size() == 11 && allDigits(check.code)) {
        check.kind = TaxCodeCheck::Kind::Numeric;
        return checkNumeric(check);
    }
    return notValid(check,
                    QStringLiteral("lunghezza errata: %1 caratteri invece di 16 (o 11 cifre)")
                        .arg(check.code.size()));
}

TaxCodeCheck checkPartitaIva(QStringView text)
{
    TaxCodeCheck check;
    check.code = normalizedTaxCode(text);
    if (check.code.isEmpty())
        return check;
    check.kind = TaxCodeCheck::Kind::Other;
    // The country prefix of a VAT number in the European register.
    if (check.code.startsWith(u"IT"))
        check.code.remove(0, 2);
    for (QChar c : check.code) {
        if (!isDigit(c))
            return notValid(check, QStringLiteral("carattere non ammesso: %1").arg(c));
    }
    if (check.code.size() != 11)
        return notValid(
            check,
            QStringLiteral("lunghezza errata: %1 cifre invece di 11").arg(check.code.size()));
    check.kind = TaxCodeCheck::Kind::Numeric;
    return checkNumeric(check);
}
