#include "db/core/archive.h"
#include "schema/archivecreator.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

class TestArchiveCreator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void referenceDataIsComplete_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<int>("rows");
        QTest::newRow("regions") << "select * from regioni" << 20;
        QTest::newRow("provinces") << "select * from Province" << 107;
        QTest::newRow("municipalities") << "select * from Comuni" << 7904;
        QTest::newRow("countries") << "select * from Nazioni" << 249;
        QTest::newRow("postal codes of multi-code towns") << "select * from Indirizzi" << 710;
        QTest::newRow("sexes") << "select * from Sesso" << 2;
        QTest::newRow("active export formats")
            << "select * from TipoEsportazioniCrystalReport where Attivo=true" << 3;
        QTest::newRow("one options row") << "select * from opzioni where Id = 1" << 1;
        QTest::newRow("one empty company row") << "select * from ditta where RagSoc is null" << 1;
        QTest::newRow("every town in Italy") << "select * from Comuni where Nazione_ID <> 380" << 0;
        QTest::newRow("Rome in Lazio")
            << "SELECT Comuni.Comune FROM (Comuni INNER JOIN Province ON Comuni.Provincia = "
               "Province.PROVINCIA) INNER JOIN Regioni ON Province.Regione_ID = Regioni.IDRegione "
               "WHERE Comuni.Comune = 'Roma' AND Regioni.Descrizione = 'Lazio' AND "
               "Comuni.COD_ISTAT = '058091' AND Comuni.Provincia = 'RM'"
            << 1;
        QTest::newRow("Milan's postal codes") << "SELECT Indirizzi.CAP FROM Indirizzi INNER JOIN "
                                                 "Comuni ON Indirizzi.Comune_ID = Comuni.ID where "
                                                 "Comuni.Comune = 'Milano'"
                                              << 42;
        QTest::newRow("leading zeros kept") << "select * from Comuni where Comune = 'Agliè' and "
                                               "Cap = '10011' and COD_ISTAT = '001001'"
                                            << 1;
        QTest::newRow("Italy by name")
            << "select * from Nazioni where IDNazione = 380 and DENOMINAZ = 'Italia'" << 1;
    }
    void referenceDataIsComplete()
    {
        QFETCH(QString, sql);
        QFETCH(int, rows);
        QCOMPARE(m_archive.run(sql).rows.size(), rows);
    }

    void aNewArchiveHasStarterLists()
    {
        // Created as the program creates it (the shared test archive starts without them).
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nuovo.sqlite"));
        QVERIFY(schema::createArchive(path).ok());
        auto opened = db::openArchive(path);
        QVERIFY(opened.ok());
        const auto descriptions = [&](const QString &table) {
            QStringList texts;
            const db::RowSet rows = *(*opened)->run(QStringLiteral("select Descrizione from ") +
                                                    table + QStringLiteral(" order by Id"));
            for (const QVariantList &row : rows.rows)
                texts.append(row[0].toString());
            return texts;
        };
        QCOMPARE(descriptions(QStringLiteral("Titoli")),
                 QStringList({"Sig.", "Sig.ra", "Dott.", "Dott.ssa", "Avv.", "Ing.", "Geom.",
                              "Rag.", "Prof."}));
        QCOMPARE(descriptions(QStringLiteral("TipoPagamenti")),
                 QStringList({"Contanti", "Bonifico", "Assegno", "Carta", "RiBa"}));
        QCOMPARE(descriptions(QStringLiteral("TipologiaCalendario")),
                 QStringList({"Appuntamento", "Telefonata", "Scadenza"}));
    }

    void newArchiveHasSensibleOptions()
    {
        const db::RowSet options = m_archive.run(QStringLiteral("select * from opzioni"));
        QCOMPARE(options.value(0, u"PasswordAmministratore").toString(), QString());
        QCOMPARE(options.value(0, u"SmtpPorta").toInt(), 25);
        QCOMPARE(options.value(0, u"AzioneImportazioneVCard").toInt(), 0);
        QCOMPARE(options.value(0, u"EtichettePiccole").toBool(), false);
    }

    void longTextsAreKeptWhole()
    {
        const QString layout = QStringLiteral("NominativoVisualizzato|").repeated(40);
        const QString query =
            QStringLiteral("SELECT Contatti.NominativoDocumenti as Nominativo, ").repeated(20);
        QVERIFY(m_archive.connection()
                    .runNative(QStringLiteral("insert into Griglie (NomeComputer, NomeGriglia, "
                                              "CampiUtente) values (?, ?, ?)"),
                               {QStringLiteral("PC"), QStringLiteral("frmContatti"), layout})
                    .ok());
        QVERIFY(m_archive.connection()
                    .runNative(QStringLiteral(
                                   "insert into TempStampa (NomeComputer, Query) values (?, ?)"),
                               {QStringLiteral("PC"), query})
                    .ok());
        QCOMPARE(
            m_archive.run(QStringLiteral("select CampiUtente from Griglie")).rows[0][0].toString(),
            layout);
        QCOMPARE(
            m_archive.run(QStringLiteral("select Query from TempStampa")).rows[0][0].toString(),
            query);
    }

    void existingFileIsNeverOverwritten()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("archivio.sqlite"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("dati preziosi");
        }
        const db::Status created = schema::createArchive(path);
        QVERIFY(!created.ok());
        QVERIFY(created.message().contains(QStringLiteral("esiste già")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("dati preziosi"));
    }

    void failedCreationLeavesNoFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("manca/archivio.sqlite"));
        const db::Status created = schema::createArchive(path);
        QVERIFY(!created.ok());
        QVERIFY(created.message().contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(path + QStringLiteral(".nuovo")));
    }

private:
    FreshArchive m_archive;
};

QTEST_GUILESS_MAIN(TestArchiveCreator)
#include "tst_archivecreator.moc"
