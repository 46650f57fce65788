// The notice logic without windows: the contact query of the filter step, the birth dates
// typed into it, the template search and the fields of a notice text.

#include "notices/noticefields.h"
#include "notices/noticequery.h"

#include <QLocale>
#include <QTest>

using notices::NoticeFilter;

namespace {

const QString kSelect = QStringLiteral(
    "SELECT distinct Contatti.NominativoVisualizzato, Contatti.Cognome, "
    "Contatti.Nome,Contatti.DataNascita,Contatti.CFisc, Contatti.PIva, Contatti.Id FROM Contatti");

QString fill(const QString &text)
{
    return notices::fillNoticeFields(text, [](const QString &field) {
        return QStringLiteral("<") + field + QStringLiteral(">");
    });
}

} // namespace

class TestNoticeLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // Dates must not follow the machine's language.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void queryWithoutFiltersKeepsEveryContactNotCancelled()
    {
        const db::Result<QString> sql = notices::composeNoticeQuery(NoticeFilter{});
        QVERIFY(sql);
        QCOMPARE(*sql, kSelect + QStringLiteral(" WHERE Contatti.Annullato=False"));
    }

    void queryWithEveryFilterInItsOrder()
    {
        NoticeFilter f;
        f.professione = 3;
        f.categoria = 5;
        f.comune = 7;
        f.provincia = QStringLiteral("F'C");
        f.note = QStringLiteral("d'a*x");
        f.daData = QStringLiteral("07/03/1960");
        f.aData = QStringLiteral("31/12/1960");
        const db::Result<QString> sql = notices::composeNoticeQuery(f);
        QVERIFY(sql);
        QCOMPARE(*sql,
                 kSelect + QStringLiteral(" INNER JOIN Comuni ON Contatti.Citta_ID = Comuni.Id"
                                          " WHERE Contatti.Annullato=False"
                                          " and Contatti.Professione_id=3"
                                          " and Contatti.Categoria_ID=5"
                                          " and Contatti.Citta_ID=7"
                                          " and Comuni.Provincia ='F''C'"
                                          " and Contatti.Note like 'd''a%x%'"
                                          " and Contatti.DataNascita >=#3/7/1960#"
                                          " and Contatti.DataNascita <=#12/31/1960 23.59.59#"));
    }

    void keysOfZeroOrBelowAreNoChoice()
    {
        NoticeFilter f;
        f.professione = 0;
        f.categoria = -1;
        QCOMPARE(*notices::composeNoticeQuery(f),
                 kSelect + QStringLiteral(" WHERE Contatti.Annullato=False"));
    }

    void birthDates_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QDate>("date");
        QTest::newRow("nothing typed") << "__/__/____" << true << QDate();
        QTest::newRow("empty") << "" << true << QDate();
        QTest::newRow("separators only") << "//" << true << QDate();
        QTest::newRow("day first") << "07/03/1960" << true << QDate(1960, 3, 7);
        QTest::newRow("leap day") << "29/02/1960" << true << QDate(1960, 2, 29);
        QTest::newRow("no 31 February") << "31/02/1960" << false << QDate();
        QTest::newRow("no month 13") << "01/13/1960" << false << QDate();
        QTest::newRow("month half typed") << "01/1_/1960" << false << QDate();
        QTest::newRow("year half typed") << "01/01/19__" << false << QDate();
        QTest::newRow("not a date") << "ab/cd/1960" << false << QDate();
    }
    void birthDates()
    {
        QFETCH(QString, shown);
        QFETCH(bool, ok);
        QFETCH(QDate, date);
        const db::Result<QDate> read = notices::readBirthDate(shown);
        QCOMPARE(read.ok(), ok);
        if (ok)
            QCOMPARE(*read, date);
        else
            QVERIFY(read.message().contains(QStringLiteral("gg/mm/aaaa")));
    }

    void aWrongDateGivesNoQuery()
    {
        NoticeFilter f;
        f.aData = QStringLiteral("31/02/1960");
        const db::Result<QString> sql = notices::composeNoticeQuery(f);
        QVERIFY(!sql);
        QCOMPARE(sql.message(), QStringLiteral("La data di nascita \"31/02/1960\" non è valida: va "
                                               "scritta come gg/mm/aaaa, per esempio 07/03/1960."));
    }

    void templateSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("star alone shows all") << "*"
                                              << "";
        QTest::newRow("apostrophe doubled") << "d'A"
                                            << "Descrizione like 'd''A*'";
        QTest::newRow("star inside kept") << "a*b"
                                          << "Descrizione like 'a*b*'";
    }
    void templateSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QCOMPARE(notices::templateFilter(typed), filter);
    }

    void fields_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QStringList>("unknown");
        QTest::newRow("no fields") << "Gentile cliente, {x} [y]"
                                   << "Gentile cliente, {x} [y]" << QStringList();
        QTest::newRow("two fields") << "Gentile «Titolo» «Cognome»,"
                                    << "Gentile <Titolo> <Cognome>," << QStringList();
        QTest::newRow("any letter case") << "«cognome»"
                                         << "<Cognome>" << QStringList();
        QTest::newRow("every field")
            << "«Nome»«RagioneSociale»«NominativoDocumenti»«Comune»"
            << "<Nome><RagioneSociale><NominativoDocumenti><Comune>" << QStringList();
        QTest::newRow("unknown stays as written, named once")
            << "«Nomee» e «Nome» e «Nomee» e «Via»"
            << "«Nomee» e <Nome> e «Nomee» e «Via»" << QStringList{"Nomee", "Via"};
        QTest::newRow("open guillemet does not swallow the rest")
            << "a « b «Nome»"
            << "a « b <Nome>" << QStringList();
        QTest::newRow("a field never spans lines") << "«Co\ngnome» «Nome»"
                                                   << "«Co\ngnome» <Nome>" << QStringList();
        QTest::newRow("closing alone") << "» «Nome"
                                       << "» «Nome" << QStringList();
        QTest::newRow("ordinary quotes are no fields")
            << "Vi diciamo «grazie» e «A presto»."
            << "Vi diciamo «grazie» e «A presto»." << QStringList();
    }
    void fields()
    {
        QFETCH(QString, text);
        QFETCH(QString, filled);
        QFETCH(QStringList, unknown);
        QCOMPARE(fill(text), filled);
        QCOMPARE(notices::unknownNoticeFields(text), unknown);
    }

    // A company has no title, surname or name: the letter reads "Gentile Acme,", not with the
    // gaps the empty fields would leave; «Nominativo» serves a company and a person alike.
    void emptyFieldsTakeTheirBlanksAway_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("filled");
        QTest::newRow("a company") << "Gentile «Titolo» «Cognome» «Nome»,"
                                   << "Gentile,";
        QTest::newRow("a person without a title") << "Gentile «Titolo» «Cognome» «Nome»,"
                                                  << "Gentile Rossi Mario,";
        QTest::newRow("the name for documents") << "Gentile «Nominativo»,"
                                                << "Gentile Rossi Mario,";
        QTest::newRow("an empty field among words") << "a «Titolo» b"
                                                    << "a b";
    }
    void emptyFieldsTakeTheirBlanksAway()
    {
        QFETCH(QString, text);
        QFETCH(QString, filled);
        const bool company = QTest::currentDataTag() == QByteArray("a company");
        const QString result = notices::fillNoticeFields(text, [&](const QString &field) {
            if (company || field == u"Titolo")
                return QString();
            if (field == u"NominativoDocumenti")
                return QStringLiteral("Rossi Mario");
            return field == u"Cognome" ? QStringLiteral("Rossi") : QStringLiteral("Mario");
        });
        QCOMPARE(result, filled);
        QVERIFY(notices::unknownNoticeFields(text).isEmpty());
    }

    void fieldValuesAreNotFilledAgain()
    {
        const QString filled =
            notices::fillNoticeFields(QStringLiteral("«Nome» «Cognome»"), [](const QString &field) {
                return field == u"Nome" ? QStringLiteral("«Cognome»") : QStringLiteral("Rossi");
            });
        QCOMPARE(filled, QStringLiteral("«Cognome» Rossi"));
    }
};

QTEST_APPLESS_MAIN(TestNoticeLogic)
#include "tst_noticelogic.moc"
