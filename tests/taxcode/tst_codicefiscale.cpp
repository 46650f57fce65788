// The tax code checks, the decoding of a personal code and its computation; the checks compared
// with Debian's python3-stdnum on generated codes.

#include "taxcode/codicefiscale.h"
#include "taxcode/codicefiscalecalcolato.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QDate kToday(2026, 12, 7);

QString withCheck(const QString &first15)
{
    return first15 + taxCodeCheckCharacter(first15);
}

// A personal code with letters for the digits in the places given (1-based).
QString omocode(QString code, std::initializer_list<int> places)
{
    for (int p : places)
        code[p - 1] = QChar(u"LMNPQRSTUV"[code[p - 1].unicode() - u'0']);
    return withCheck(code.left(15));
}

struct Generated
{
    QStringList lines; // "cf CODE" or "iva CODE", as given to the other checker
    QList<TaxCodeCheck> ours;
};

const char16_t kMonthLetters[] = u"ABCDEHLMPRST";

class Generator
{
public:
    explicit Generator(quint32 seed) : m_random(seed) {}

    int below(int n) { return int(m_random.bounded(n)); }
    QChar letter() { return QChar(u'A' + below(26)); }
    QChar digit() { return QChar(u'0' + below(10)); }
    QChar anyCharacter() { return below(36) < 10 ? digit() : letter(); }

    // A personal code whose date may be impossible (a 30 or 31 in a short month, a 29
    // February in any year) but whose every other part has its shape.
    QString personalCode()
    {
        QString code;
        for (int i = 0; i < 6; ++i)
            code += letter();
        const int year = below(100);
        const int month = below(12);
        const int day = 1 + below(31) + (below(2) ? 40 : 0);
        code += QStringLiteral("%1").arg(year, 2, 10, QChar(u'0')) + QChar(kMonthLetters[month]) +
                QStringLiteral("%1").arg(day, 2, 10, QChar(u'0'));
        code += below(10) == 0 ? QChar(u'Z') : QChar(u"ABCDEFGHILM"[below(11)]);
        code += digit();
        code += digit();
        code += digit();
        // Codes told apart from an equal one get letters for digits, from the right.
        if (below(5) == 0) {
            const int places[] = {15, 14, 13, 11, 10, 8, 7};
            for (int i = 0, n = 1 + below(7); i < n; ++i)
                code[places[i] - 1] = QChar(u"LMNPQRSTUV"[code[places[i] - 1].unicode() - u'0']);
        }
        return withCheck(code);
    }

    QString vatNumber()
    {
        QString number;
        for (int i = 0; i < 7; ++i)
            number += digit();
        // Mostly a real office, sometimes any three digits.
        const int office = below(4) == 0 ? below(1000) : 1 + below(100);
        number += QStringLiteral("%1").arg(office, 3, 10, QChar(u'0'));
        return number + vatCheckDigit(number);
    }

    QString corrupted(const QString &code, bool digitsOnly)
    {
        QString changed = code;
        const int at = below(int(code.size()));
        while (changed[at] == code[at])
            changed[at] = digitsOnly ? digit() : anyCharacter();
        return changed;
    }

    // As typed: lower case, blanks inside, around.
    QString typed(const QString &code)
    {
        QString text = below(3) == 0 ? code.toLower() : code;
        if (below(3) == 0)
            text.insert(below(int(text.size())), u' ');
        if (below(4) == 0)
            text = QStringLiteral("  ") + text + u' ';
        return text;
    }

private:
    QRandomGenerator m_random;
};

// What python3-stdnum says of each line, one answer per line.
QStringList stdnumAnswers(const QStringList &lines)
{
    QProcess python;
    // Debian's Python modules load only under Debian's own interpreter.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CALVETRA_TEST_DATA "/taxcode/stdnumcheck.py")});
    python.write((lines.join(u'\n') + u'\n').toUtf8());
    python.closeWriteChannel();
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        qWarning("%s", python.readAllStandardError().constData());
        return {};
    }
    return QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QString ourAnswer(const TaxCodeCheck &check)
{
    if (!check.valid)
        return QStringLiteral("0");
    if (check.kind != TaxCodeCheck::Kind::Personal)
        return QStringLiteral("1");
    QString answer = QStringLiteral("1 ") + check.birthDate.toString(QStringLiteral("dd/MM/")) +
                     QStringLiteral("%1").arg(check.birthDate.year() % 100, 2, 10, QChar(u'0'));
    if (check.code[9].isDigit() && check.code[10].isDigit())
        answer += u' ' + check.sex;
    return answer;
}

} // namespace

class TestCodiceFiscale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void personalCodes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QDate>("born");
        QTest::addColumn<QString>("sex");
        QTest::addColumn<QString>("place");
        const QDate none;
        QTest::newRow("man") << "RSSMRA85T10H501O"
                             << "" << QDate(1985, 12, 10) << "M"
                             << "H501";
        QTest::newRow("woman's day plus 40") << "DNGLCU80A41F205O"
                                             << "" << QDate(1980, 1, 1) << "F"
                                             << "F205";
        QTest::newRow("lower case with blanks") << "  rssmra 85t10 h501o "
                                                << "" << QDate(1985, 12, 10) << "M"
                                                << "H501";
        QTest::newRow("omocodia in every place")
            << omocode("RSSMRA85T10H501", {7, 8, 10, 11, 13, 14, 15}) << "" << QDate(1985, 12, 10)
            << "M"
            << "H501";
        QTest::newRow("foreign state") << "DRSGFR84B29Z404F"
                                       << "" << QDate(1984, 2, 29) << "M"
                                       << "Z404";
        QTest::newRow("29 February of a leap year, woman")
            << withCheck("BNCNNA00B69F205") << "" << QDate(2000, 2, 29) << "F"
            << "F205";
        QTest::newRow("29 February of another year")
            << withCheck("BNCNNA85B29F205") << "data di nascita inesistente: 29/02/1985" << none
            << ""
            << "";
        QTest::newRow("31 April") << withCheck("RSSMRA85D31H501")
                                  << "data di nascita inesistente: 31/04/1985" << none << ""
                                  << "";
        QTest::newRow("day 32") << withCheck("RSSMRA85T32H501")
                                << "giorno di nascita non valido: 32" << none << ""
                                << "";
        QTest::newRow("day 72") << withCheck("RSSMRA85T72H501")
                                << "giorno di nascita non valido: 72" << none << ""
                                << "";
        QTest::newRow("month F") << withCheck("RSSMRA85F10H501") << "mese di nascita non valido: F"
                                 << none << ""
                                 << "";
        QTest::newRow("letter not standing for a digit")
            << withCheck("RSSMRA8KT10H501") << "anno di nascita non valido: 8K" << none << ""
            << "";
        QTest::newRow("place letter past M")
            << withCheck("RSSMRA85T10Q501") << "codice del luogo di nascita non valido: Q501"
            << none << ""
            << "";
        QTest::newRow("digit among the names")
            << withCheck("RSSMR085T10H501")
            << "i primi sei caratteri (cognome e nome) devono essere lettere" << none << ""
            << "";
        QTest::newRow("wrong check character")
            << "RSSMRA85T10H501A"
            << "carattere di controllo errato: atteso O" << none << ""
            << "";
        QTest::newRow("too short")
            << "RSSMRA85T10H501"
            << "lunghezza errata: 15 caratteri invece di 16 (o 11 cifre)" << none << ""
            << "";
        QTest::newRow("accented letter") << "RSSMRÀ85T10H501O"
                                         << "carattere non ammesso: À" << none << ""
                                         << "";
    }
    void personalCodes()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QFETCH(QDate, born);
        const TaxCodeCheck check = checkCodiceFiscale(text, kToday);
        QCOMPARE(check.reason, reason);
        QCOMPARE(check.valid, reason.isEmpty());
        QCOMPARE(check.birthDate, born);
        QTEST(check.sex.isNull() ? QString() : QString(check.sex), "sex");
        QTEST(check.placeCode, "place");
    }

    // A two-digit year belongs to the hundred years that end today.
    void centuryOfTheYear_data()
    {
        QTest::addColumn<QString>("first15");
        QTest::addColumn<QDate>("born");
        QTest::newRow("born today") << "RSSMRA26T07H501" << QDate(2026, 12, 7);
        QTest::newRow("tomorrow, a hundred years ago") << "RSSMRA26T08H501" << QDate(1926, 12, 8);
        QTest::newRow("next year's digits") << "RSSMRA27A01H501" << QDate(1927, 1, 1);
        QTest::newRow("year 00") << "RSSMRA00A01H501" << QDate(2000, 1, 1);
        QTest::newRow("ten, not a hundred and ten") << "RSSMRA10A01H501" << QDate(2010, 1, 1);
    }
    void centuryOfTheYear()
    {
        QFETCH(QString, first15);
        QTEST(checkCodiceFiscale(withCheck(first15), kToday).birthDate, "born");
    }

    void numericCodesAndVatNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("vat");
        QTest::addColumn<QString>("reason");
        QTest::newRow("company code") << "01234560017" << false << "";
        QTest::newRow("partita IVA") << "01234560017" << true << "";
        QTest::newRow("with IT and blanks") << " it 0123456 0017" << true << "";
        QTest::newRow("IT is no tax code")
            << "IT01234560017" << false
            << "lunghezza errata: 13 caratteri invece di 16 (o 11 cifre)";
        QTest::newRow("wrong check digit")
            << "01234560018" << true << "cifra di controllo errata: attesa 7";
        QTest::newRow("office 000")
            << "01234560000" << true << "codice dell'ufficio non valido: 000";
        QTest::newRow("office 101")
            << QString(QStringLiteral("0123456101") + vatCheckDigit(u"0123456101")) << true
            << "codice dell'ufficio non valido: 101";
        QTest::newRow("office 999")
            << QString(QStringLiteral("0123456999") + vatCheckDigit(u"0123456999")) << false << "";
        QTest::newRow("no serial number")
            << QString(QStringLiteral("0000000001") + vatCheckDigit(u"0000000001")) << true
            << "numero di matricola non valido: 0000000";
        QTest::newRow("a letter") << "0123456001O" << true << "carattere non ammesso: O";
    }
    void numericCodesAndVatNumbers()
    {
        QFETCH(QString, text);
        QFETCH(bool, vat);
        QFETCH(QString, reason);
        const TaxCodeCheck check = vat ? checkPartitaIva(text) : checkCodiceFiscale(text, kToday);
        QCOMPARE(check.reason, reason);
        QCOMPARE(check.valid, reason.isEmpty());
    }

    void blanksAreNeitherValidNorNot()
    {
        for (const QString &text : {QString(), QStringLiteral("   "), QStringLiteral("\t\u00a0")}) {
            QCOMPARE(checkCodiceFiscale(text, kToday).kind, TaxCodeCheck::Kind::Empty);
            QCOMPARE(checkPartitaIva(text).kind, TaxCodeCheck::Kind::Empty);
            QVERIFY(checkCodiceFiscale(text, kToday).reason.isEmpty());
        }
    }

    void lettersOfNames_data()
    {
        QTest::addColumn<QString>("cognome");
        QTest::addColumn<QString>("nome");
        QTest::addColumn<QString>("letters");
        QTest::newRow("plain") << "Rossi"
                               << "Mario"
                               << "RSSMRA";
        QTest::newRow("apostrophe") << "D'Angelo"
                                    << "Lucía"
                                    << "DNGLCU";
        QTest::newRow("two words") << "De Rossi"
                                   << "Anna Maria"
                                   << "DRSNMR";
        QTest::newRow("four consonants in the name: first, third, fourth") << "Bianchi"
                                                                           << "Gianfranco"
                                                                           << "BNCGFR";
        QTest::newRow("three consonants in the name: all three") << "Verdi"
                                                                 << "Marta"
                                                                 << "VRDMRT";
        QTest::newRow("short names padded with X") << "Fo"
                                                   << "Ugo"
                                                   << "FOXGUO";
        QTest::newRow("accents and case") << "NICOLÒ"
                                          << "josé"
                                          << "NCLJSO";
        QTest::newRow("hyphen and digits go") << "Rossi-Bianchi2"
                                              << "Ēva"
                                              << "RSSVEA";
    }
    void lettersOfNames()
    {
        QFETCH(QString, cognome);
        QFETCH(QString, nome);
        QTEST(surnameLetters(cognome) + nameLetters(nome), "letters");
    }

    void computedCodes()
    {
        const db::Result<QString> man =
            computeCodiceFiscale({QStringLiteral("Rossi"), QStringLiteral("Mario"),
                                  QDate(1985, 12, 10), u'M', QStringLiteral("h501")});
        QCOMPARE(*man, QStringLiteral("RSSMRA85T10H501O"));
        const db::Result<QString> woman =
            computeCodiceFiscale({QStringLiteral("D'Angelo"), QStringLiteral("Lucía"),
                                  QDate(1980, 1, 1), u'F', QStringLiteral("F205")});
        QCOMPARE(*woman, QStringLiteral("DNGLCU80A41F205O"));
        const db::Result<QString> abroad =
            computeCodiceFiscale({QStringLiteral("De Rossi"), QStringLiteral("Gianfranco"),
                                  QDate(1984, 2, 29), u'M', QStringLiteral("Z404")});
        QCOMPARE(*abroad, QStringLiteral("DRSGFR84B29Z404F"));

        const db::Result<QString> missing = computeCodiceFiscale(
            {QStringLiteral("Rossi"), QStringLiteral(" ' "), QDate(), QChar(), QString()});
        QCOMPARE(missing.message(),
                 QStringLiteral("Per calcolare il codice fiscale mancano: nome, data di nascita, "
                                "sesso, luogo di nascita."));
        const db::Result<QString> wrongPlace =
            computeCodiceFiscale({QStringLiteral("Rossi"), QStringLiteral("Mario"),
                                  QDate(1985, 12, 10), u'M', QStringLiteral("H50")});
        QCOMPARE(wrongPlace.message(),
                 QStringLiteral("Il codice catastale del luogo di nascita non è valido: H50."));
    }

    // The same verdicts as an implementation nobody here wrote, on valid codes, codes with an
    // impossible date, and both corrupted in one character, typed in any case and with blanks.
    void agreesWithStdnum()
    {
        Generator g(2026);
        Generated all;
        const auto add = [&](const QString &kind, const QString &text) {
            all.lines << kind + u' ' + text;
            all.ours << (kind == u"iva" ? checkPartitaIva(text) : checkCodiceFiscale(text, kToday));
        };
        for (int n = 0; n < 2000; ++n) {
            const QString code = g.personalCode();
            add(QStringLiteral("cf"), g.typed(code));
            add(QStringLiteral("cf"), g.typed(g.corrupted(code, false)));
        }
        for (int n = 0; n < 1000; ++n) {
            const QString number = g.vatNumber();
            add(QStringLiteral("iva"), g.typed(number));
            add(QStringLiteral("cf"), number);
            add(QStringLiteral("iva"), g.corrupted(number, true));
            add(QStringLiteral("cf"), g.corrupted(number, true));
        }
        const QStringList theirs = stdnumAnswers(all.lines);
        QCOMPARE(theirs.size(), all.lines.size());
        int valid = 0;
        QStringList disagreements;
        for (qsizetype i = 0; i < theirs.size(); ++i) {
            const QString ours = ourAnswer(all.ours[i]);
            valid += all.ours[i].valid;
            if (ours != theirs[i])
                disagreements << QStringLiteral("%1: %2 / %3").arg(all.lines[i], ours, theirs[i]);
        }
        qInfo("python3-stdnum agrees on %lld of %lld texts (%d valid)",
              qsizetype(theirs.size() - disagreements.size()), qsizetype(theirs.size()), valid);
        QVERIFY2(disagreements.isEmpty(), qPrintable(disagreements.mid(0, 10).join(u'\n')));
        // Both kinds of verdict are well represented.
        QVERIFY(valid > theirs.size() / 4 && valid < theirs.size() * 3 / 4);
    }
};

QTEST_GUILESS_MAIN(TestCodiceFiscale)
#include "tst_codicefiscale.moc"
