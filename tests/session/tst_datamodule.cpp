#include "db/archive.h"
#include "session/datamodule.h"
#include "testsupport.h"

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
            QVERIFY2(opened.ok(), qPrintable(ds->objectName() + QStringLiteral(": ") + opened.message()));
            QCOMPARE(ds->filter(), QString());
        }
        QCOMPARE(module.TableComuni.recordCount(), 7904);
        QCOMPARE(module.TableIndirizzi.recordCount(), 1);
        QCOMPARE(module.TableOpzioni.recordCount(), 1);
        QVERIFY(module.TableCercaContatti.columnIndex(u"Ide") >= 0);
        QVERIFY(!module.computerName().isEmpty());
        QVERIFY(module.computerName().size() <= 15);
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
