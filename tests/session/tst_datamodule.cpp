#include "db/core/archive.h"
#include "session/datamodule.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QSet>
#include <QTest>

class TestDataModule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everySharedDataSetOpens()
    {
        FreshArchive archive;
        Tform_DB module;
        QVERIFY(!module.TableComuni.open().ok()); // nothing opens before the archive does
        QVERIFY(module.Connessione().open(archive.path()).ok());
        const QList<db::DataSet *> all = module.sharedDataSets();
        QCOMPARE(all.size(), 24);
        for (db::DataSet *ds : all) {
            const db::Status opened = ds->open();
            QVERIFY2(opened.ok(),
                     qPrintable(ds->objectName() + QStringLiteral(": ") + opened.message()));
            QCOMPARE(ds->filter(), QString());
        }
        QCOMPARE(module.TableComuni.recordCount(), 7904);
        QCOMPARE(module.TableIndirizzi.recordCount(), 1);
        QCOMPARE(module.TableOpzioni.recordCount(), 1);
        QVERIFY(module.TableCercaContatti.columnIndex(u"Ide") >= 0);
        QVERIFY(!module.computerName().isEmpty());
        QVERIFY(module.computerName().size() <= 15);
    }

    void everySharedDataSetIsNamedAndKeyedByItsTable()
    {
        FreshArchive archive;
        Tform_DB module;
        module.setComputerName(QStringLiteral("PC-UFFICIO"));
        QVERIFY(module.Connessione().open(archive.path()).ok());
        QVERIFY(module.reopenSharedDataSets().ok());
        QSet<QString> names;
        for (const SharedDataSet &shared : sharedDataSetTable()) {
            const db::DataSet &ds = module.*shared.member;
            QCOMPARE(ds.objectName(), shared.name);
            QCOMPARE(ds.isOpen(), !shared.onDemand);
            if (shared.onDemand)
                QVERIFY2((module.*shared.member).open().ok(), qPrintable(shared.name));
            QVERIFY2(ds.columnIndex(shared.keyColumn) >= 0, qPrintable(shared.name));
            names.insert(shared.name);
        }
        QCOMPARE(names.size(), module.sharedDataSets().size());
        // The per-workstation data sets hold only this workstation's rows; start-up gives it its
        // notice row.
        QCOMPARE(module.TableTempAvvisi.recordCount(), 1);
        QCOMPARE(module.TableTempAvvisi.asString(u"NomeComputer"), QStringLiteral("PC-UFFICIO"));
        QVERIFY(module.TableTempStampa.sql().contains(QStringLiteral("NomeComputer")));
    }

    void memosAreShownShort()
    {
        QCOMPARE(Tform_DB::ConvertiMemo(QString(250, u'x')), QString(100, u'x'));
        QCOMPARE(Tform_DB::ConvertiMemo(QString(40, u'è')), QString(40, u'è'));
        QCOMPARE(Tform_DB::ConvertiMemo(QVariant()), QString());
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
