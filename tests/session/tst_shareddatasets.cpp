// The registry of shared data sets: what start-up reopens, in which order, on which rows.

#include "db/datasets/dataset.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QTest>

#include <memory>

class TestSharedDataSets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reopenReadsTheSharedOnesThenThisWorkstationsRows()
    {
        FreshArchive archive;
        for (const char *pc : {"PC-A", "PC-B", "PC-A"})
            archive.native(QStringLiteral("insert into TempStampa (NomeComputer) values (?)"),
                           {pc});
        SharedDataSets shared(archive.connection(), QStringLiteral("PC-A"));
        db::DataSet jobs(archive.connection());
        db::DataSet titles(archive.connection());
        db::DataSet agenda(archive.connection());
        shared.add(jobs,
                   {QStringLiteral("TableTempStampa"), QStringLiteral("select * from TempStampa"),
                    QStringLiteral("Id"), SharedDataSet::Kind::PerWorkstation,
                    QStringLiteral("select * from TempStampa where NomeComputer = ?")});
        shared.add(titles, {QStringLiteral("TableTitoli"), QStringLiteral("select * from Titoli"),
                            QStringLiteral("Id")});
        shared.add(agenda,
                   {QStringLiteral("TableCalendario"), QStringLiteral("select * from Calendario"),
                    QStringLiteral("Id"), SharedDataSet::Kind::OnDemand});
        QCOMPARE(jobs.objectName(), QStringLiteral("TableTempStampa"));
        QCOMPARE(shared.dataSets(), (QList<db::DataSet *>{&jobs, &titles, &agenda}));
        QStringList seen; // what each step found open
        shared.addReopenStep([&](const QString &computerName) {
            seen << computerName + QString::number(jobs.isOpen()) +
                        QString::number(titles.isOpen()) + QString::number(agenda.isOpen());
            return db::Status();
        });

        QVERIFY(shared.reopen().ok());
        QCOMPARE(seen, QStringList{"PC-A110"});
        QCOMPARE(jobs.recordCount(), 2);
        // Open stays open as it was: its filter is kept.
        QVERIFY(SharedDataSets::openOnDemand(agenda).ok());
        QVERIFY(agenda.setFilter(QStringLiteral("Id = 0")).ok());
        QVERIFY(SharedDataSets::openOnDemand(agenda).ok());
        QCOMPARE(agenda.filter(), QStringLiteral("Id = 0"));

        // Reopened for another workstation, every data set is closed first.
        shared.setComputerName(QStringLiteral("PC-B"));
        QVERIFY(shared.reopen().ok());
        QCOMPARE(jobs.recordCount(), 1);
        QVERIFY(!agenda.isOpen());
        QCOMPARE(seen.size(), 2);
    }

    void aFailureStopsTheReopenBeforeTheSteps()
    {
        ScriptedDialogs dialogs;
        FreshArchive archive;
        SharedDataSets shared(archive.connection(), QStringLiteral("PC-A"));
        db::DataSet broken(archive.connection());
        db::DataSet after(archive.connection());
        shared.add(broken, {QStringLiteral("TableRotta"), QStringLiteral("select * from Nessuna"),
                            QStringLiteral("Id")});
        shared.add(after, {QStringLiteral("TableTitoli"), QStringLiteral("select * from Titoli"),
                           QStringLiteral("Id")});
        bool stepRan = false;
        shared.addReopenStep([&](const QString &) {
            stepRan = true;
            return db::Status();
        });
        QVERIFY(!shared.reopen().ok());
        QVERIFY(!after.isOpen());
        QVERIFY(!stepRan);
        // A window's first read says why it failed.
        QVERIFY(!SharedDataSets::openOnDemand(broken).ok());
        QCOMPARE(dialogs.messages.size(), 1);
    }

    void aDestroyedDataSetLeavesTheRegistry()
    {
        FreshArchive archive;
        SharedDataSets shared(archive.connection(), QStringLiteral("PC-A"));
        db::DataSet kept(archive.connection());
        auto gone = std::make_unique<db::DataSet>(archive.connection());
        shared.add(*gone, {QStringLiteral("TableA"), QStringLiteral("select * from Titoli"),
                           QStringLiteral("Id")});
        shared.add(kept, {QStringLiteral("TableB"), QStringLiteral("select * from Titoli"),
                          QStringLiteral("Id")});
        gone.reset();
        QCOMPARE(shared.dataSets(), QList<db::DataSet *>{&kept});
        QVERIFY(shared.reopen().ok());
        QVERIFY(kept.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestSharedDataSets)
#include "tst_shareddatasets.moc"
