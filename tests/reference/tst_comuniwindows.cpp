// The municipality list and detail windows and the postal-code finder, driven through their
// real controls.

#include "common/datasetmodel.h"
#include "common/widgets/datagrid.h"
#include "reference/windows/frmcomunidett.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "reference/windows/frmtrovacap.h"
#include "referenceoffice.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

namespace {

QVariant comuneId(FreshArchive &a, const QString &name)
{
    return a.native(QStringLiteral("select ID from Comuni where Comune = ?"), {name})
        .rows.value(0)
        .value(0);
}

// A town of one postal code and a town of three streets, both with an apostrophe in the name.
void streets(FreshArchive &a)
{
    const QString street =
        QStringLiteral("insert into Indirizzi (id_cap, Frazione, Indirizzo, NumeroCivico, "
                       "Cap, Comune_ID) values (?, ?, ?, ?, ?, ?)");
    const QVariant isernia = comuneId(a, QStringLiteral("Acquaviva d'Isernia"));
    a.native(street, {90001, QVariant(), QVariant(), QVariant(), "86080", isernia});
    const QVariant aci = comuneId(a, QStringLiteral("Aci Sant'Antonio"));
    a.native(street, {90002, "Santa Maria", "Via Roma", "1-99", "95029", aci});
    a.native(street, {90003, QVariant(), "Via Roma", "101-199", "95025", aci});
    a.native(street, {90004, QVariant(), "Via dell'Etna", QVariant(), "95026", aci});
}

} // namespace

class TestComuniWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameAndProvinceSearchTogether()
    {
        ReferenceOffice o;
        auto &list = o.comuniGriglia;
        db::DataSet &ds = o.db().TableComuni;
        const int all = ds.recordCount();
        QVERIFY(all > 7800);
        o.type(&list, QStringLiteral("Edit2"), QStringLiteral("San"));
        o.type(&list, QStringLiteral("Edit4"), QStringLiteral("PD"));
        o.type(&list, QStringLiteral("Edit3"), QStringLiteral("*"));
        QCOMPARE(ds.filter(), QStringLiteral("Comune like 'San*' and Provincia like 'PD*'"));
        QVERIFY(ds.recordCount() > 3);
        for (const QString &name : o.column(ds, QStringLiteral("Comune")))
            QVERIFY2(name.startsWith(QStringLiteral("San")), qPrintable(name));
        QCOMPARE(o.column(ds, QStringLiteral("Provincia")),
                 QStringList(ds.recordCount(), QStringLiteral("PD")));
        QCOMPARE(list.grid()->model()->rowCount(), ds.recordCount());
        o.type(&list, QStringLiteral("Edit2"), QString());
        o.type(&list, QStringLiteral("Edit4"), QString());
        QCOMPARE(ds.recordCount(), all);
    }

    // 00135 is one of Rome's codes, not its main one: Rome is found. Other codes' towns come
    // with any prefix of theirs; a town's main code still finds it.
    void everyCodeOfATownFindsIt()
    {
        ReferenceOffice o;
        auto &list = o.comuniGriglia;
        db::DataSet &ds = o.db().TableComuni;
        o.type(&list, QStringLiteral("txtCap"), QStringLiteral("00135"));
        QCOMPARE(o.column(ds, QStringLiteral("Comune")), QStringList{"Roma"});
        o.type(&list, QStringLiteral("txtCap"), QStringLiteral("0013"));
        QVERIFY(o.column(ds, QStringLiteral("Comune")).contains(QStringLiteral("Roma")));
        o.type(&list, QStringLiteral("txtCap"), QStringLiteral("86080"));
        QVERIFY(
            o.column(ds, QStringLiteral("Comune")).contains(QStringLiteral("Acquaviva d'Isernia")));
        o.type(&list, QStringLiteral("txtCap"), QStringLiteral("99999"));
        QCOMPARE(ds.recordCount(), 0);
        o.type(&list, QStringLiteral("txtCap"), QString());
    }

    // The national lists have no telephone prefixes: the box that searches them is hidden
    // until some municipality has one.
    void thePrefixBoxOnlyWherePrefixesExist()
    {
        {
            ReferenceOffice o;
            o.comuniGriglia.show();
            QVERIFY(!o.in<QLineEdit>(&o.comuniGriglia, QStringLiteral("Edit5"))->isVisible());
            QVERIFY(o.in<QLineEdit>(&o.comuniGriglia, QStringLiteral("txtCap"))->isVisible());
        }
        ReferenceOffice o([](FreshArchive &a) {
            a.native(QStringLiteral("update Comuni set PrefNaz = '049' where Provincia = 'PD'"));
        });
        o.comuniGriglia.show();
        QVERIFY(o.in<QLineEdit>(&o.comuniGriglia, QStringLiteral("Edit5"))->isVisible());
        o.type(&o.comuniGriglia, QStringLiteral("Edit5"), QStringLiteral("049"));
        QVERIFY(o.db().TableComuni.recordCount() > 50);
        o.type(&o.comuniGriglia, QStringLiteral("Edit5"), QString());
    }

    void choosingAProvinceFillsItsRegionWhenItHasOne()
    {
        ReferenceOffice o([](FreshArchive &a) {
            a.native(QStringLiteral("insert into Province (CODPROV, PROVINCIA, CAPOLUOGO) values "
                                    "(999, 'ZZ', 'Nessuna')"));
        });
        db::DataSet &ds = o.db().TableComuni;
        QVERIFY(*ds.locate(u"Comune", QStringLiteral("Abano Terme")));
        QCOMPARE(ds.asInteger(u"Regione_ID"), 5);
        TfrmComuniDett &detail = o.comuni;
        QString provinceShown, regionAfterTorino, regionAfterNessuna;
        bool modified = false;
        o.dialogs.modalActions = {[&](QWidget *window) {
            auto *province =
                ReferenceOffice::in<QComboBox>(window, QStringLiteral("DBLookupComboBox1"));
            auto *region =
                ReferenceOffice::in<QComboBox>(window, QStringLiteral("DBLookupComboBox2"));
            provinceShown = province->currentText();
            QTest::keyClicks(province, QStringLiteral("Torino"));
            regionAfterTorino = region->currentText();
            QTest::qWait(QApplication::keyboardInputInterval() + 50);
            QTest::keyClicks(province, QStringLiteral("Nessuna"));
            regionAfterNessuna = region->currentText();
            modified = detail.modified();
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&o.comuniGriglia, QStringLiteral("spdAvanti"));
        QCOMPARE(provinceShown, QStringLiteral("Padova (PD)"));
        QVERIFY(modified);
        QCOMPARE(regionAfterTorino, QStringLiteral("Piemonte"));
        QCOMPARE(regionAfterNessuna, QStringLiteral("Piemonte"));
        const db::RowSet abano =
            o.archive.run(QStringLiteral("select * from Comuni where Comune = 'Abano Terme'"));
        QCOMPARE(abano.value(0, u"Provincia").toString(), QStringLiteral("ZZ"));
        QCOMPARE(abano.value(0, u"Regione_ID").toInt(), 1);
    }

    void newMunicipalityIsStoredAtOnceAndNeedsAName()
    {
        ReferenceOffice o;
        auto &list = o.comuniGriglia;
        o.type(&list, QStringLiteral("Edit2"), QStringLiteral("Abano"));
        int pending = -1;
        QString capShown;
        bool stayed = false;
        o.dialogs.modalActions = {[&](QWidget *window) {
            pending = int(o.archive
                              .run(QStringLiteral(
                                  "select * from Comuni where Cap = '00000' and Comune is null"))
                              .rows.size());
            capShown = ReferenceOffice::in<QLineEdit>(window, QStringLiteral("DBEdit2"))->text();
            // Left without a name, answered No to dropping it: it stays to be named.
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            stayed = window->isVisible();
            ReferenceOffice::type(window, QStringLiteral("DBEdit1"), QStringLiteral("Borgo Nuovo"));
            ReferenceOffice::type(window, QStringLiteral("DBEdit7"), QStringLiteral("45,25"));
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QCOMPARE(pending, 1);
        QCOMPARE(capShown, QStringLiteral("00000"));
        QVERIFY(stayed);
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: Il record è vuoto. Eliminarlo?"});
        const db::RowSet added =
            o.archive.run(QStringLiteral("select * from Comuni where Comune = 'Borgo Nuovo'"));
        QCOMPARE(added.value(0, u"Cap").toString(), QStringLiteral("00000"));
        QCOMPARE(added.value(0, u"Latitudine").toDouble(), 45.25);
        QCOMPARE(o.db().TableComuni.asString(u"Comune"), QStringLiteral("Borgo Nuovo"));
    }

    // "Aggiungi" by mistake: the municipality written at once goes again after a yes.
    void aNewMunicipalityLeftBlankIsDeleted()
    {
        ReferenceOffice o;
        const int before = o.scalar(QStringLiteral("select count(*) from Comuni")).toInt();
        o.dialogs.answers = {true};
        o.dialogs.modalActions = {[](QWidget *window) {
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&o.comuniGriglia, QStringLiteral("spdInserisci"));
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Comuni")).toInt(), before);
        QVERIFY(!o.comuni.isVisible());
    }

    void noTownNoFinder()
    {
        ReferenceOffice o;
        QCOMPARE(o.trovaCap.trovaCap(QString()), std::nullopt);
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: Prima devi selezionare la Città !"});
        QVERIFY(o.dialogs.modalWindows.isEmpty());
    }

    void aSingleCodeIsReturnedWithoutTheWindow()
    {
        ReferenceOffice o(streets);
        QCOMPARE(o.trovaCap.trovaCap(QStringLiteral("Acquaviva d'Isernia")),
                 QStringLiteral("86080"));
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        QVERIFY(o.dialogs.messages.isEmpty());
    }

    void theChosenStreetGivesItsCode()
    {
        ReferenceOffice o(streets);
        TfrmTrovaCap &finder = o.trovaCap;
        db::DataSet &ds = o.db().TableIndirizzi;
        QStringList listed, narrowed;
        o.dialogs.modalActions = {[&](QWidget *window) {
            window->show();
            if (!QTest::qWaitForWindowExposed(window))
                return 0;
            listed = ReferenceOffice::column(ds, QStringLiteral("Indirizzo"));
            ReferenceOffice::type(window, QStringLiteral("Edit2"), QStringLiteral("Via R"));
            narrowed = ReferenceOffice::column(ds, QStringLiteral("NumeroCivico"));
            // The title of "Civico" sorts by it, descending at the second click.
            QHeaderView *titles = finder.grid()->horizontalHeader();
            for (int i = 0; i < 2; ++i)
                QTest::mouseClick(
                    titles->viewport(), Qt::LeftButton, {},
                    QPoint(titles->sectionViewportPosition(2) + 5, titles->height() / 2));
            const QRect second = finder.grid()->visualRect(finder.grid()->model()->index(1, 1));
            // The events of a double click as the window system delivers them.
            QWidget *rows = finder.grid()->viewport();
            QTest::mouseClick(rows, Qt::LeftButton, {}, second.center());
            QTest::mousePress(rows, Qt::LeftButton, {}, second.center());
            QTest::mouseDClick(rows, Qt::LeftButton, {}, second.center());
            QTest::mouseRelease(rows, Qt::LeftButton, {}, second.center());
            return 0;
        }};
        QCOMPARE(finder.trovaCap(QStringLiteral("Aci Sant'Antonio")), QStringLiteral("95029"));
        QCOMPARE(listed, QStringList({"Via dell'Etna", "Via Roma", "Via Roma"}));
        QCOMPARE(narrowed, QStringList({"101-199", "1-99"}));
        QCOMPARE(ds.sort(), QStringLiteral("NumeroCivico DESC"));
        QVERIFY(!finder.cancelled());
        QVERIFY(!finder.isVisible());
    }

    void leavingTheFinderGivesNothing()
    {
        ReferenceOffice o(streets);
        TfrmTrovaCap &finder = o.trovaCap;
        o.dialogs.modalActions = {[](QWidget *window) {
            ReferenceOffice::type(window, QStringLiteral("Edit1"), QStringLiteral("Santa"));
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        }};
        QCOMPARE(finder.trovaCap(QStringLiteral("Aci Sant'Antonio")), std::nullopt);
        QVERIFY(finder.cancelled());
        // The next search starts afresh.
        QString typed = QStringLiteral("?");
        int rows = 0;
        o.dialogs.modalActions = {[&](QWidget *window) {
            typed = ReferenceOffice::in<QLineEdit>(window, QStringLiteral("Edit1"))->text();
            rows = o.db().TableIndirizzi.recordCount();
            return 0;
        }};
        (void)finder.trovaCap(QStringLiteral("Aci Sant'Antonio"));
        QCOMPARE(typed, QString());
        QCOMPARE(rows, 3);
    }
};

QTEST_MAIN(TestComuniWindows)
#include "tst_comuniwindows.moc"
