// The notices' store without a window: this workstation's notice row, a new template.

#include "notices/noticestore.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QTest>

namespace {

struct Notices
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    SharedDataSets shared{archive.connection(), QStringLiteral("PC-UFFICIO")};
    NoticeStore store{shared};

    qint64 count(const QString &sql) { return archive.native(sql).rows[0][0].toLongLong(); }
};

} // namespace

class TestNoticeStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpGivesTheWorkstationOneNoticeRow()
    {
        Notices n;
        n.archive.native(
            QStringLiteral("insert into TempAvvisi (NomeComputer, Testo) values ('ALTRO', 'suo')"));
        QVERIFY(n.shared.reopen().ok());
        QCOMPARE(n.store.TableTempAvvisi.recordCount(), 1);
        QCOMPARE(n.store.TableTempAvvisi.asString(u"NomeComputer"), QStringLiteral("PC-UFFICIO"));
        // Started again, the row it has is kept.
        QVERIFY(n.shared.reopen().ok());
        QCOMPARE(n.count(QStringLiteral("select count(*) from TempAvvisi")), 2);
        QCOMPARE(n.store.TableTempAvvisiContatti.sql(),
                 QStringLiteral("select * from TempAvvisiContatti where NomeComputer = ?"));
    }

    void startUpClearsOnlyThisWorkstationsScratchRows()
    {
        Notices n;
        for (const char *pc : {"PC-UFFICIO", "ALTRO"}) {
            n.archive.native(QStringLiteral("insert into TempAvvisi (NomeComputer) values (?)"),
                             {pc});
            n.archive.native(
                QStringLiteral("insert into TempAvvisiContatti (NomeComputer) values (?)"), {pc});
        }
        QVERIFY(NoticeStore::clearScratchRows(n.archive.connection(), QStringLiteral("PC-UFFICIO"))
                    .ok());
        QCOMPARE(n.count(QStringLiteral("select count(*) from TempAvvisi where NomeComputer = "
                                        "'ALTRO'")),
                 1);
        QCOMPARE(n.count(QStringLiteral("select count(*) from TempAvvisiContatti")), 1);
        QCOMPARE(n.count(QStringLiteral("select count(*) from TempAvvisi")), 1);
    }

    void aNewTemplateIsStoredBlankThenEmptiedForTheEditor()
    {
        Notices n;
        n.archive.native(QStringLiteral(
            "insert into Avvisi (Descrizione, Testo) values ('Ferie', 'Chiuso ad agosto')"));
        QVERIFY(n.shared.reopen().ok());
        db::DataSet &ds = n.store.TableAvvisi;
        QVERIFY(ds.setFilter(QStringLiteral("Descrizione = 'Nessuno'")).ok());
        QVERIFY(n.store.appendTemplate().ok());
        QCOMPARE(ds.filter(), QString());
        QVERIFY(n.store.storeTemplate().ok());
        QCOMPARE(n.count(QStringLiteral("select count(*) from Avvisi where Descrizione = ' '")), 1);
        QCOMPARE(ds.asString(u"Descrizione"), QStringLiteral(" ")); // on the new row
        QVERIFY(n.store.removeTemplate().ok());
        QCOMPARE(n.count(QStringLiteral("select count(*) from Avvisi")), 1);
    }

    void aTemplateTheArchiveRefusesIsDropped()
    {
        Notices n;
        QVERIFY(n.shared.reopen().ok());
        n.archive.refuseWrites(QStringLiteral("insert"), QStringLiteral("Avvisi"),
                               QStringLiteral("disco pieno"));
        QVERIFY(n.store.appendTemplate().ok());
        QVERIFY(!n.store.storeTemplate().ok());
        QCOMPARE(n.store.TableAvvisi.state(), db::DataSet::State::Browse);
        QVERIFY(n.store.TableAvvisi.isEmpty());
        QCOMPARE(n.dialogs.messages.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestNoticeStore)
#include "tst_noticestore.moc"
