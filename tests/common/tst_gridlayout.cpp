#include "common/datasetmodel.h"
#include "common/gridlayout.h"
#include "db/core/datetimes.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QTest>

namespace {

const QList<GridColumn> kDesigned = {
    {"Comune", 200, "Comune"}, {"Provincia", 40, "Prov."}, {"Cap", 60, "C.A.P."}};

struct Grids
{
    FreshArchive archive;
    db::DataSet comuni{archive.connection()};
    db::DataSet griglie{archive.connection()};
    DataSetModel grid{comuni};

    Grids()
    {
        comuni.setSql(QStringLiteral("select * from Comuni order by Comune"));
        griglie.setSql(QStringLiteral("select * from Griglie where NomeComputer ='PC1'"));
        (void)comuni.open();
        (void)griglie.open();
        grid.setDesign(kDesigned);
    }

    db::RowSet stored(const QString &computer = QStringLiteral("PC1"))
    {
        return archive.run(
            QStringLiteral("select * from Griglie where NomeComputer = '%1'").arg(computer));
    }
};

} // namespace

class TestGridLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstRestoreStoresTheDesign()
    {
        Grids g;
        QVERIFY(RipristinaLayout(QStringLiteral("frmGrigliaComuni"), g.grid, g.griglie, false,
                                 QStringLiteral("PC1"))
                    .ok());
        const db::RowSet row = g.stored();
        QCOMPARE(row.rows.size(), 1);
        QCOMPARE(row.value(0, u"CampiUtente").toString(), QStringLiteral("Comune|Provincia|Cap|"));
        QCOMPARE(row.value(0, u"WidthUtente").toString(), QStringLiteral("200|40|60|"));
        QCOMPARE(row.value(0, u"CaptionUtente").toString(), QStringLiteral("Comune|Prov.|C.A.P.|"));
        QCOMPARE(row.value(0, u"CampiPredefiniti"), row.value(0, u"CampiUtente"));
        QCOMPARE(row.value(0, u"TotaleCampiPredefiniti").toInt(), 3);
        QCOMPARE(g.grid.columns(), kDesigned);
    }

    void droppedColumnSavedThenResetBringsItBack()
    {
        Grids g;
        const QString name = QStringLiteral("frmGrigliaComuni");
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        g.grid.removeGridColumn(1);
        g.grid.setColumnWidth(0, 250);
        QVERIFY(SalvaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QCOMPARE(g.stored().value(0, u"CampiUtente").toString(), QStringLiteral("Comune|Cap|"));
        QCOMPARE(g.stored().value(0, u"TotaleCampiPredefiniti").toInt(), 3);

        // The next start: the designed grid gets the user's layout.
        g.grid.setColumns(kDesigned);
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QCOMPARE(g.grid.columns(),
                 QList<GridColumn>({{"Comune", 250, "Comune"}, {"Cap", 60, "C.A.P."}}));

        // Reset: the default layout on screen, and it becomes the user layout too.
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, true, QStringLiteral("PC1")).ok());
        QVERIFY(SalvaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QCOMPARE(g.grid.columns(), kDesigned);
        QCOMPARE(g.stored().value(0, u"CampiUtente").toString(),
                 QStringLiteral("Comune|Provincia|Cap|"));
        QCOMPARE(g.griglie.filter(), QString());
    }

    void unreadableWidthKeepsThePartBeforeIt()
    {
        Grids g;
        const QString name = QStringLiteral("frmTrovaCap");
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        g.archive.run(QStringLiteral("update Griglie set WidthUtente = '200|largo|60|'"));
        QVERIFY(g.griglie.requery().ok());
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QCOMPARE(g.grid.columns(), QList<GridColumn>({{"Comune", 200, "Comune"}}));
        QCOMPARE(g.stored().value(0, u"CampiPredefiniti").toString(), QStringLiteral("Comune|"));
        QCOMPARE(g.stored().value(0, u"TotaleCampiPredefiniti").toInt(), 1);
    }

    void aNewDesignReplacesTheStoredLayouts()
    {
        Grids g;
        const QString name = QStringLiteral("frmContatti");
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QList<GridColumn> redesigned = kDesigned;
        redesigned.append({"PrefNaz", 50, "Prefisso"});
        g.grid.setDesign(redesigned);
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        QCOMPARE(g.grid.columns(), redesigned);
        QCOMPARE(g.stored().value(0, u"TotaleCampiPredefiniti").toInt(), 4);
        QCOMPARE(g.stored().rows.size(), 1);
    }

    void workstationsKeepTheirOwnLayouts()
    {
        Grids g;
        const QString name = QStringLiteral("frmGrigliaAvvisi");
        QVERIFY(RipristinaLayout(name, g.grid, g.griglie, false, QStringLiteral("PC1")).ok());
        db::DataSet other(g.archive.connection());
        other.setSql(QStringLiteral("select * from Griglie where NomeComputer ='SenzaNome'"));
        QVERIFY(other.open().ok());
        DataSetModel otherGrid(g.comuni);
        otherGrid.setDesign({{"Comune", 90, "Città"}});
        QVERIFY(RipristinaLayout(name, otherGrid, other, false, QStringLiteral("SenzaNome")).ok());
        QCOMPARE(g.stored().value(0, u"CampiUtente").toString(),
                 QStringLiteral("Comune|Provincia|Cap|"));
        QCOMPARE(g.stored(QStringLiteral("SenzaNome")).value(0, u"CaptionUtente").toString(),
                 QStringLiteral("Città|"));
    }

    void gridFollowsTheDataSet()
    {
        Grids g;
        QAbstractItemModelTester tester(&g.grid,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(g.grid.rowCount(), 7904);
        QVERIFY(g.comuni.setFilter(QStringLiteral("Comune like 'forl*'")).ok());
        QCOMPARE(g.grid.rowCount(), 3);
        QCOMPARE(g.grid.data(g.grid.index(0, 0)).toString(), QStringLiteral("Forlì"));
        QCOMPARE(g.grid.headerData(2, Qt::Horizontal).toString(), QStringLiteral("C.A.P."));
        g.grid.setRowBackground([](const db::DataSet &ds, int row) {
            return ds.valueAt(row, ds.columnIndex(u"Provincia")).toString() == u"FC"
                       ? QVariant(QStringLiteral("rosa"))
                       : QVariant();
        });
        QCOMPARE(g.grid.data(g.grid.index(0, 0), Qt::BackgroundRole).toString(),
                 QStringLiteral("rosa"));
        g.grid.removeGridColumn(0);
        QCOMPARE(g.grid.columnCount(), 2);
        QVERIFY(g.comuni.setFilter(QString()).ok());
        QCOMPARE(g.grid.rowCount(), 7904);
    }

    void valuesAreShownTheItalianWay()
    {
        QCOMPARE(DataSetModel::displayText(1234.5, db::FieldKind::Currency),
                 QStringLiteral("1.234,50 €"));
        QCOMPARE(DataSetModel::displayText(true, db::FieldKind::Bool), QStringLiteral("Sì"));
        QCOMPARE(DataSetModel::displayText(QVariant(), db::FieldKind::Text), QString());
        QCOMPARE(
            DataSetModel::displayText(db::naiveDateTime(QDate(2026, 12, 7)), db::FieldKind::Date),
            QStringLiteral("07/12/2026"));
    }
};

QTEST_GUILESS_MAIN(TestGridLayout)
#include "tst_gridlayout.moc"
