#include "common/gridsort.h"
#include "common/textfunctions.h"

#include <QTest>

class TestTextFunctions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerClicksToggleTheDirection()
    {
        QString sort;
        sort = toggledSort(sort, QStringLiteral("Categoria"));
        QCOMPARE(sort, QStringLiteral("Categoria ASC"));
        sort = toggledSort(sort, QStringLiteral("Cellulare"));
        QCOMPARE(sort, QStringLiteral("Cellulare DESC"));
        sort = toggledSort(sort, QStringLiteral("Cellulare"));
        QCOMPARE(sort, QStringLiteral("Cellulare ASC"));
    }

    void quotesAreDoubled_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("raddoppiaApici");
        QTest::addColumn<QString>("preparaRicerca");
        QTest::newRow("apostrophe in a word") << "l'anno"
                                              << "l''anno"
                                              << "l''anno";
        QTest::newRow("two apostrophes") << "''"
                                         << "''''"
                                         << "''''";
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("star becomes percent") << "Ros*"
                                              << "Ros*"
                                              << "Ros%";
        QTest::newRow("apostrophe and star") << "d'Ales*"
                                             << "d''Ales*"
                                             << "d''Ales%";
        QTest::newRow("accented letters kept") << "perché l'è"
                                               << "perché l''è"
                                               << "perché l''è";
    }
    void quotesAreDoubled()
    {
        QFETCH(QString, text);
        QFETCH(QString, raddoppiaApici);
        QFETCH(QString, preparaRicerca);
        QCOMPARE(RaddoppiaApici(text), raddoppiaApici);
        QCOMPARE(PreparaRicerca(text), preparaRicerca);
    }

    void fieldsAreExtracted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("field");
        QTest::newRow("middle field") << "a|b|c"
                                      << "|" << 2 << "b";
        QTest::newRow("last field before final separator") << "a|b|c|"
                                                           << "|" << 3 << "c";
        QTest::newRow("beyond the last field") << "a|b"
                                               << "|" << 3 << "";
        QTest::newRow("empty text") << ""
                                    << "|" << 1 << "";
        QTest::newRow("empty first field") << "|x"
                                           << "|" << 1 << "";
        QTest::newRow("field after empty one") << "|x"
                                               << "|" << 2 << "x";
        QTest::newRow("empty middle field") << "a;;b"
                                            << ";" << 2 << "";
        QTest::newRow("zero") << "a|b"
                              << "|" << 0 << "";
        QTest::newRow("negative") << "a|b"
                                  << "|" << -1 << "";
        QTest::newRow("line break is a field") << "x;\n"
                                               << ";" << 2 << "\n";
        QTest::newRow("statement with line breaks") << "ALTER TABLE a ADD b LONG;\r\nDROP TABLE c;"
                                                    << ";" << 2 << "\r\nDROP TABLE c";
    }
    void fieldsAreExtracted()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(int, number);
        QFETCH(QString, field);
        QCOMPARE(EstraiCampo(text, number, separator[0]), field);
    }

    void fieldsAreCounted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("one") << "x" << 1;
        QTest::newRow("final separator adds nothing") << "x;" << 1;
        QTest::newRow("line break after the separator") << "x;\n" << 2;
        QTest::newRow("lone separator") << ";" << 1;
        QTest::newRow("two") << "a;b" << 2;
        QTest::newRow("two with final separator") << "a;b;" << 2;
        QTest::newRow("empty middle") << "a;;b" << 3;
    }
    void fieldsAreCounted()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QCOMPARE(ContaCampi(text, u';'), count);
    }

    void everyFieldIsVisitedInOrder()
    {
        const QString text = QStringLiteral("a;;b;\n");
        QStringList fields;
        for (int i = 1; i <= ContaCampi(text, u';'); ++i)
            fields << EstraiCampo(text, i, u';');
        QCOMPARE(fields, QStringList({"a", "", "b", "\n"}));
    }

    void extensionIsAfterTheLastDot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("two dots") << "foto.tar.png"
                                  << "png";
        QTest::newRow("no dot") << "leggimi"
                                << "";
        QTest::newRow("final dot") << "nome."
                                   << "";
        QTest::newRow("hidden file") << ".profilo"
                                     << "profilo";
    }
    void extensionIsAfterTheLastDot()
    {
        QFETCH(QString, name);
        QFETCH(QString, extension);
        QCOMPARE(EstensioneFile(name), extension);
    }

    void memosAreShownShort()
    {
        QCOMPARE(ConvertiMemo(QString(250, u'x')), QString(100, u'x'));
        QCOMPARE(ConvertiMemo(QString(40, u'è')), QString(40, u'è'));
        QCOMPARE(ConvertiMemo(QVariant()), QString());
    }
};

QTEST_APPLESS_MAIN(TestTextFunctions)
#include "tst_textfunctions.moc"
