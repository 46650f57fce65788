#include "db/core/archive.h"
#include "featurestores.h"
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
        Stores stores;
        Tform_DB &module = stores.module;
        QVERIFY(!stores.reference.TableComuni.open().ok()); // nothing opens before the archive does
        QVERIFY(module.Connessione().open(archive.path()).ok());
        const QList<db::DataSet *> all = module.sharedDataSets();
        QCOMPARE(all.size(), 24);
        for (db::DataSet *ds : all) {
            const db::Status opened = ds->open();
            QVERIFY2(opened.ok(),
                     qPrintable(ds->objectName() + QStringLiteral(": ") + opened.message()));
            QCOMPARE(ds->filter(), QString());
        }
        QCOMPARE(stores.reference.TableComuni.recordCount(), 7904);
        QCOMPARE(stores.reference.TableIndirizzi.recordCount(), 1);
        QCOMPARE(stores.options.TableOpzioni.recordCount(), 1);
        QVERIFY(stores.contacts.TableCercaContatti.columnIndex(u"Ide") >= 0);
        QVERIFY(!module.computerName().isEmpty());
        QVERIFY(module.computerName().size() <= 15);
    }

    void everySharedDataSetIsNamedAndKeyedByItsTable()
    {
        FreshArchive archive;
        Stores stores;
        Tform_DB &module = stores.module;
        module.setComputerName(QStringLiteral("PC-UFFICIO"));
        QVERIFY(module.Connessione().open(archive.path()).ok());
        QVERIFY(module.reopenSharedDataSets().ok());
        QSet<QString> names;
        for (const SharedDataSets::Entry &entry : module.shared().entries()) {
            const SharedDataSet &shared = entry.declaration;
            db::DataSet &ds = *entry.dataSet;
            const bool onDemand = shared.kind == SharedDataSet::Kind::OnDemand;
            QCOMPARE(ds.objectName(), shared.name);
            QCOMPARE(ds.isOpen(), !onDemand);
            if (onDemand)
                QVERIFY2(ds.open().ok(), qPrintable(shared.name));
            QVERIFY2(ds.columnIndex(shared.keyColumn) >= 0, qPrintable(shared.name));
            names.insert(shared.name);
        }
        QCOMPARE(names.size(), module.sharedDataSets().size());
        // The per-workstation data sets hold only this workstation's rows; start-up gives it its
        // notice row.
        QCOMPARE(stores.notices.TableTempAvvisi.recordCount(), 1);
        QCOMPARE(stores.notices.TableTempAvvisi.asString(u"NomeComputer"),
                 QStringLiteral("PC-UFFICIO"));
        QVERIFY(module.TableTempStampa.sql().contains(QStringLiteral("NomeComputer")));
    }
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
