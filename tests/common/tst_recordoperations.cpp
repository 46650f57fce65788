#include "common/recordoperations.h"
#include "db/core/archive.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

namespace {

void addTitles(FreshArchive &archive, const QStringList &titles)
{
    for (const QString &t : titles)
        archive.native(QStringLiteral("insert into Titoli (Descrizione) values (?)"), {t});
}

} // namespace

class TestRecordOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void salvaRecordLandsOnTheNewRow()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "z"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by Descrizione"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.append().ok());
        QVERIFY(ds.setValue(u"Descrizione", QStringLiteral("m")).ok());
        QVERIFY(SalvaRecord(ds, QStringLiteral("Id")).ok());
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.position(), 1); // re-read in the query's order, back on the new row
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("m"));
        QCOMPARE(ds.asInteger(u"Id"), 3);
    }

    void refusedSaveIsShownAndKeepsTheEdits()
    {
        ScriptedDialogs dialogs;
        FreshArchive archive;
        addTitles(archive, {"a"});
        auto other = db::openArchive(archive.path());
        QVERIFY(other.ok());
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QVERIFY(ds.setValue(u"Descrizione", QStringLiteral("mio")).ok());
        QVERIFY((*other)->run(u"update Titoli set Descrizione = 'suo'").ok());
        for (auto operation : {&SalvaRecord, &ConfermaRecord}) {
            QVERIFY(!operation(ds, QStringLiteral("Id")).ok());
            QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("mio"));
            QCOMPARE(ds.state(), db::DataSet::State::Edit);
        }
        // Answered No, the edits stay; answered Yes, the other workstation's row comes back.
        QCOMPARE(dialogs.messages.size(), 2);
        for (const QString &message : std::as_const(dialogs.messages))
            QVERIFY(
                message.startsWith(QStringLiteral("Messaggio di avviso: Il record è stato "
                                                  "modificato da un'altra postazione.\nCaricare")));
        dialogs.answers = {true};
        QVERIFY(!SalvaRecord(ds, QStringLiteral("Id")).ok());
        QCOMPARE(ds.state(), db::DataSet::State::Browse);
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("suo"));
    }

    void eliminaRecordLandsOnTheRowBefore_data()
    {
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QString>("current");
        QTest::newRow("third of five") << 2 << "b";
        QTest::newRow("first") << 0 << "b";
        QTest::newRow("last") << 4 << "d";
    }
    void eliminaRecordLandsOnTheRowBefore()
    {
        QFETCH(int, deleted);
        QFETCH(QString, current);
        FreshArchive archive;
        addTitles(archive, {"a", "b", "c", "d", "e"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by Descrizione"));
        QVERIFY(ds.open().ok());
        ds.setPosition(deleted);
        QVERIFY(EliminaRecord(ds, QStringLiteral("Id")).ok());
        QCOMPARE(ds.recordCount(), 4);
        QCOMPARE(ds.asString(u"Descrizione"), current);
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 4);
    }

    void eliminaAndRicaricaOnNothingDoNothing()
    {
        FreshArchive archive;
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli"));
        QVERIFY(ds.open().ok());
        QVERIFY(EliminaRecord(ds, QStringLiteral("Id")).ok());
        addTitles(archive, {"a"});
        QVERIFY(RicaricaSuRecord(ds, QStringLiteral("Id")).ok());
        QCOMPARE(ds.recordCount(), 0); // no key on the current row: not re-read
    }

    void ricaricaComesBackToTheRow()
    {
        FreshArchive archive;
        addTitles(archive, {"a", "b"});
        db::DataSet ds(archive.connection());
        ds.setSql(QStringLiteral("select * from Titoli order by Descrizione"));
        QVERIFY(ds.open().ok());
        ds.last();
        addTitles(archive, {"0"});
        QVERIFY(RicaricaSuRecord(ds, QStringLiteral("Id")).ok());
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral("b"));
    }

    void defaultsOfTheTableAreApplied()
    {
        FreshArchive archive;
        const QString sql = QStringLiteral("insert into Personalizzazioni (NomeTabella, NomeCampo, "
                                           "Tipo, Valore) values (?, ?, ?, ?)");
        archive.native(sql, {"Contatti", "NumeroColore", "n", "255"});
        archive.native(sql, {"Contatti", "Note", "t", "nuovo"});
        archive.native(sql, {"Calendario", "Note", "t", "altro"});
        archive.native(sql, {"Contatti", "Cognome", "x", "ignorato"});
        db::DataSet p(archive.connection());
        p.setSql(QStringLiteral("select * from Personalizzazioni"));
        db::DataSet contacts(archive.connection());
        contacts.setSql(QStringLiteral("select * from Contatti"));
        QVERIFY(p.open().ok() && contacts.open().ok());
        QVERIFY(contacts.append().ok());
        QVERIFY(ApplicaPersonalizzazioni(QStringLiteral("Contatti"), contacts, p).ok());
        QCOMPARE(contacts.asInteger(u"NumeroColore"), 255);
        QCOMPARE(contacts.asString(u"Note"), QStringLiteral("nuovo"));
        QVERIFY(contacts.isNull(u"Cognome"));
        QCOMPARE(p.filter(), QString());
        QCOMPARE(p.recordCount(), 4);

        archive.native(sql, {"Contatti", "NumeroColore", "n", "rosso"});
        QVERIFY(p.requery().ok());
        QVERIFY(!ApplicaPersonalizzazioni(QStringLiteral("Contatti"), contacts, p).ok());
        archive.native(QStringLiteral("delete from Personalizzazioni where Valore = 'rosso'"));
        archive.native(sql, {"Contatti", "Colore", "n", "1"});
        QVERIFY(p.requery().ok());
        QVERIFY(!ApplicaPersonalizzazioni(QStringLiteral("Contatti"), contacts, p).ok());
    }

    void textFilesHoldOneBytePerCharacter()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("contatti.vcf"));
        QVERIFY(ScriviFileTesto(path, QStringLiteral("è\r\nfine\n"), false).ok());
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("\xe8\r\nfine\n"));
        f.close();
        QVERIFY(ScriviFileTesto(path, QStringLiteral("a\r\nb\n"), true).ok());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("ab"));
        QVERIFY(!ScriviFileTesto(dir.filePath(QStringLiteral("manca/x.ics")), QStringLiteral("x"),
                                 false)
                     .ok());
    }
};

QTEST_GUILESS_MAIN(TestRecordOperations)
#include "tst_recordoperations.moc"
