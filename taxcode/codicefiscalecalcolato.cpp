#include "taxcode/codicefiscalecalcolato.h"

#include "taxcode/codicefiscale.h"

#include <QStringList>

namespace {

constexpr char16_t kMonths[] = u"ABCDEHLMPRST";

bool isVowel(QChar c)
{
    return c == u'A' || c == u'E' || c == u'I' || c == u'O' || c == u'U';
}

// The letters A-Z of a name in upper case: accented letters lose their accent, everything
// else goes.
QString plainLetters(QStringView text)
{
    QString letters;
    for (QChar c : text.toString().normalized(QString::NormalizationForm_D)) {
        const QChar upper = c.toUpper();
        if (upper >= u'A' && upper <= u'Z')
            letters.append(upper);
    }
    return letters;
}

void split(QStringView text, QString &consonants, QString &vowels)
{
    for (QChar c : plainLetters(text))
        (isVowel(c) ? vowels : consonants).append(c);
}

QString firstThree(const QString &consonants, const QString &vowels)
{
    return (consonants + vowels + QStringLiteral("XXX")).left(3);
}

bool isPlaceCode(const QString &code)
{
    if (code.size() != 4 || !((code[0] >= u'A' && code[0] <= u'M') || code[0] == u'Z'))
        return false;
    for (int i = 1; i < 4; ++i) {
        if (!code[i].isDigit() || code[i].unicode() > u'9')
            return false;
    }
    return true;
}

} // namespace

QString surnameLetters(QStringView cognome)
{
    QString consonants, vowels;
    split(cognome, consonants, vowels);
    return firstThree(consonants, vowels);
}

QString nameLetters(QStringView nome)
{
    QString consonants, vowels;
    split(nome, consonants, vowels);
    if (consonants.size() >= 4)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return firstThree(consonants, vowels);
}

db::Result<QString> computeCodiceFiscale(const DatiAnagrafici &dati)
{
    QStringList missing;
    if (plainLetters(dati.cognome).isEmpty())
        missing << QStringLiteral("cognome");
    if (plainLetters(dati.nome).isEmpty())
        missing << QStringLiteral("nome");
    if (!dati.nascita.isValid())
        missing << QStringLiteral("data di nascita");
    if (dati.sesso != u'M' && dati.sesso != u'F')
        missing << QStringLiteral("sesso");
    const QString place = normalizedTaxCode(dati.codiceCatastale);
    if (place.isEmpty())
        missing << QStringLiteral("luogo di nascita");
    if (!missing.isEmpty()) {
        return db::Error{
            QStringLiteral("Per calcolare il codice fiscale %1: %2.")
                .arg(missing.size() == 1 ? QStringLiteral("manca") : QStringLiteral("mancano"),
                     missing.join(QStringLiteral(", ")))};
    }
    if (!isPlaceCode(place)) {
        return db::Error{
            QStringLiteral("Il codice catastale del luogo di nascita non è valido: %1.")
                .arg(place)};
    }
    const int day = dati.nascita.day() + (dati.sesso == u'F' ? 40 : 0);
    QString code = surnameLetters(dati.cognome) + nameLetters(dati.nome) +
                   QStringLiteral("%1").arg(dati.nascita.year() % 100, 2, 10, QChar(u'0')) +
                   QChar(kMonths[dati.nascita.month() - 1]) +
                   QStringLiteral("%1").arg(day, 2, 10, QChar(u'0')) + place;
    code.append(taxCodeCheckCharacter(code));
    return code;
}
