// The lists and detail windows of categories, professions, titles, payment types and
// appointment types, driven through their real controls.

#include "common/widgets/datasetcombobox.h"
#include "reference/windows/categorie.h"
#include "reference/windows/lookupwindows.h"
#include "referenceoffice.h"

#include <QComboBox>

namespace {

void fill(FreshArchive &a)
{
    for (const char *name : {"Amici", "Clienti", "Dell'Arte", "Della Casa"})
        a.native(
            QStringLiteral("insert into Categorie (Descrizione, ColoreCategoria) values (?, 255)"),
            {QString::fromUtf8(name)});
    a.native(
        QStringLiteral("insert into Categorie (Descrizione, ColoreCategoria) values ('Nera', 0)"));
    for (const char *name : {"Architetto", "Avvocato", "Commercialista", "Geometra"})
        a.native(QStringLiteral("insert into Professioni (Descrizione) values (?)"),
                 {QString::fromUtf8(name)});
}

} // namespace

class TestLookupWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchShowsDescriptionsThatBeginWithTheText()
    {
        ReferenceOffice o(fill);
        auto &list = o.categorieGriglia;
        const db::DataSet &ds = o.db().TableCategorie;
        o.type(&list, QStringLiteral("Edit1"), QStringLiteral("Dell'"));
        QCOMPARE(ds.filter(), QStringLiteral("Descrizione like 'Dell''*'"));
        QCOMPARE(o.column(ds, QStringLiteral("Descrizione")), QStringList{"Dell'Arte"});
        o.type(&list, QStringLiteral("Edit1"), QStringLiteral("*"));
        QCOMPARE(ds.recordCount(), 5);
        o.type(&list, QStringLiteral("Edit1"), QStringLiteral("cl"));
        QCOMPARE(o.column(ds, QStringLiteral("Descrizione")), QStringList{"Clienti"});
        o.type(&list, QStringLiteral("Edit1"), QString());
        QCOMPARE(ds.filter(), QString());
        QCOMPARE(ds.recordCount(), 5);
    }

    void searchNarrowsTheOtherWindowsListsUntilAnAdd()
    {
        ReferenceOffice o(fill);
        // Another editor's list of professions over the same shared data set.
        DataSetComboBox professions(o.db().TableProfessioni, QStringLiteral("Id"),
                                    QStringLiteral("Descrizione"));
        auto &list = o.professioniGriglia;
        QCOMPARE(professions.count(), 4);
        o.type(&list, QStringLiteral("Edit1"), QStringLiteral("A"));
        QCOMPARE(professions.count(), 2);
        o.dialogs.modalActions = {[](QWidget *detail) {
            ReferenceOffice::type(detail, QStringLiteral("DBEdit1"), QStringLiteral("Notaio"));
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QCOMPARE(o.dialogs.modalWindows, QStringList{"frmProfessioni_Dettaglio"});
        QCOMPARE(professions.count(), 5);
        QCOMPARE(o.db().TableProfessioni.asString(u"Descrizione"), QStringLiteral("Notaio"));
    }

    void blackCategoryOpensWhiteAndSavesWhite()
    {
        ReferenceOffice o(fill);
        auto &list = o.categorieGriglia;
        QVERIFY(*o.db().TableCategorie.locate(u"Descrizione", QStringLiteral("Nera")));
        QString shown;
        o.dialogs.modalActions = {[&](QWidget *detail) {
            shown =
                ReferenceOffice::in<QComboBox>(detail, QStringLiteral("ColorBox1"))->currentText();
            // At the end of the description, as a user who adds to it.
            QWidget *description = ReferenceOffice::in(detail, QStringLiteral("DBEdit1"));
            QTest::keyClick(description, Qt::Key_End);
            QTest::keyClicks(description, QStringLiteral("ssima"));
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdAvanti"));
        QCOMPARE(shown, QStringLiteral("Bianco"));
        const db::RowSet row = o.archive.run(
            QStringLiteral("select * from Categorie where Descrizione = 'Nerassima'"));
        QCOMPARE(row.rows.size(), 1);
        QCOMPARE(row.value(0, u"ColoreCategoria").toLongLong(), 16777215);
    }

    // The colour a category's contacts keep a copy of follows the category's new colour; a
    // contact of another category keeps its own.
    void categoryColourReachesItsContacts()
    {
        ReferenceOffice o(fill);
        QVERIFY(*o.db().TableCategorie.locate(u"Descrizione", QStringLiteral("Nera")));
        const qint64 id = o.db().TableCategorie.asInteger(u"Id");
        o.archive.run(QStringLiteral("insert into Contatti (Cognome, Categoria_ID, "
                                     "ColoreCategoria) values ('Rossi', %1, 0)")
                          .arg(id));
        o.archive.run(QStringLiteral("insert into Contatti (Cognome, Categoria_ID, "
                                     "ColoreCategoria) values ('Verdi', %1, 255)")
                          .arg(id + 1000));
        qint64 chosen = 0;
        o.dialogs.modalActions = {[&](QWidget *detail) {
            auto *picker = ReferenceOffice::in<QComboBox>(detail, QStringLiteral("ColorBox1"));
            picker->setCurrentIndex(3);
            Q_EMIT picker->activated(3);
            chosen = picker->currentData().toLongLong();
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&o.categorieGriglia, QStringLiteral("spdAvanti"));
        QVERIFY(chosen != 0);
        QCOMPARE(o.scalar(QStringLiteral("select ColoreCategoria from Contatti where Cognome = "
                                         "'Rossi'"))
                     .toLongLong(),
                 chosen);
        QCOMPARE(o.scalar(QStringLiteral("select ColoreCategoria from Contatti where Cognome = "
                                         "'Verdi'"))
                     .toLongLong(),
                 255);
    }

    // "Aggiungi" by mistake: left with nothing typed, the new row goes (after a question when
    // it was written at once), and no blank row is left, whatever the table.
    void aBlankNewRowIsDropped()
    {
        ReferenceOffice o(fill);
        const int categories = o.scalar(QStringLiteral("select count(*) from Categorie")).toInt();
        const int professions =
            o.scalar(QStringLiteral("select count(*) from Professioni")).toInt();
        const int types =
            o.scalar(QStringLiteral("select count(*) from TipologiaCalendario")).toInt();
        const auto leave = [](QWidget *window) {
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        };
        o.dialogs.answers = {true, true};
        o.dialogs.modalActions = {leave, leave, leave};
        o.click(&o.categorieGriglia, QStringLiteral("spdInserisci"));
        o.click(&o.professioniGriglia, QStringLiteral("spdInserisci"));
        o.click(&o.tipologieGriglia, QStringLiteral("spdInserisci"));
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Categorie")).toInt(), categories);
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Professioni")).toInt(), professions);
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from TipologiaCalendario")).toInt(),
                 types);
        // Asked only where a row had been written: categories and appointment types.
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY(!o.categorie.isVisible());
    }

    void addedCategoryIsStoredButCannotBeLeftWithoutDescription()
    {
        ReferenceOffice o(fill);
        auto &list = o.categorieGriglia;
        o.type(&list, QStringLiteral("Edit1"), QStringLiteral("Cl"));
        TfrmCategorie &detail = o.categorie;
        int storedBlank = -1;
        bool stayed = false;
        qint64 colour = 0;
        o.dialogs.modalActions = {[&](QWidget *window) {
            storedBlank =
                int(o.archive
                        .run(QStringLiteral("select * from Categorie where Descrizione is null "
                                            "and ColoreCategoria = 16777215"))
                        .rows.size());
            // Left blank and the question answered No: the window stays, to be filled in.
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            stayed = window->isVisible();
            colour = detail.colour();
            QTest::keyClicks(ReferenceOffice::in(window, QStringLiteral("DBEdit1")),
                             QStringLiteral("Soci"));
            ReferenceOffice::click(window, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QCOMPARE(storedBlank, 1);
        QVERIFY(stayed);
        QCOMPARE(colour, 16777215);
        QVERIFY(!detail.saveRefused());
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: Il record è vuoto. Eliminarlo?"});
        QVERIFY(!detail.modified());
        QCOMPARE(o.db().TableCategorie.filter(), QString());
        QCOMPARE(o.db().TableCategorie.asString(u"Descrizione"), QStringLiteral("Soci"));
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Categorie")).toInt(), 6);
    }

    // A new appointment type starts as one blank; left at once, no type named " " stays.
    void newAppointmentTypeLeftAtOnceLeavesNoRow()
    {
        ReferenceOffice o;
        auto &list = o.tipologieGriglia;
        QString shown;
        o.dialogs.answers = {true};
        o.dialogs.modalActions = {[&](QWidget *detail) {
            shown = ReferenceOffice::in<QLineEdit>(detail, QStringLiteral("DBEdit2"))->text();
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QCOMPARE(shown, QStringLiteral(" "));
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: Il record è vuoto. Eliminarlo?"});
        QVERIFY(!o.tipologia.modified());
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from TipologiaCalendario")).toInt(), 0);
    }

    void deletingACategoryClearsTheColourItsContactsKeep()
    {
        ReferenceOffice o([](FreshArchive &a) {
            fill(a);
            const QString contact =
                QStringLiteral("insert into Contatti (ID, Cognome, Categoria_ID, ColoreCategoria) "
                               "values (?, ?, ?, 255)");
            a.native(contact, {1, "Rossi", 2});
            a.native(contact, {2, "Bianchi", 1});
        });
        auto &list = o.categorieGriglia;
        QVERIFY(*o.db().TableCategorie.locate(u"Descrizione", QStringLiteral("Clienti")));
        o.dialogs.answers = {false, true};
        o.click(&list, QStringLiteral("spdElimina"));
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Categorie")).toInt(), 5);
        QCOMPARE(
            o.scalar(QStringLiteral("select ColoreCategoria from Contatti where ID = 1")).toInt(),
            255);
        o.click(&list, QStringLiteral("spdElimina"));
        QCOMPARE(o.dialogs.messages,
                 QStringList(
                     2, QStringLiteral(
                            "Messaggio di avviso: Sei sicuro di voler eliminare la Categoria?")));
        QCOMPARE(
            o.scalar(QStringLiteral("select count(*) from Categorie where Descrizione = 'Clienti'"))
                .toInt(),
            0);
        const db::RowSet rossi =
            o.archive.run(QStringLiteral("select * from Contatti where ID = 1"));
        QVERIFY(!rossi.value(0, u"ColoreCategoria").isValid());
        QCOMPARE(rossi.value(0, u"Categoria_ID").toInt(), 2);
        QCOMPARE(
            o.scalar(QStringLiteral("select ColoreCategoria from Contatti where ID = 2")).toInt(),
            255);
    }

    void deleteLeavesTheCursorOnTheRowBefore_data()
    {
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("current");
        QTest::newRow("first row") << "Architetto"
                                   << "Avvocato";
        QTest::newRow("middle row") << "Commercialista"
                                    << "Avvocato";
        QTest::newRow("last row") << "Geometra"
                                  << "Commercialista";
    }
    void deleteLeavesTheCursorOnTheRowBefore()
    {
        QFETCH(QString, deleted);
        QFETCH(QString, current);
        ReferenceOffice o(fill);
        db::DataSet &ds = o.db().TableProfessioni;
        QVERIFY(*ds.locate(u"Descrizione", deleted));
        o.dialogs.answers = {true};
        o.click(&o.professioniGriglia, QStringLiteral("spdElimina"));
        QCOMPARE(
            o.dialogs.messages,
            QStringList{"Messaggio di avviso: Sei sicuro di voler eliminare la Professione ?"});
        QCOMPARE(ds.recordCount(), 3);
        QCOMPARE(ds.asString(u"Descrizione"), current);
    }

    void titleDetailOpensOnlyOnRowsAndAPlainAddWaitsForItsDescription()
    {
        ReferenceOffice o;
        auto &list = o.titoliGriglia;
        QVERIFY(o.db().TableTitoli.isEmpty());
        o.click(&list, QStringLiteral("spdAvanti"));
        o.click(&list, QStringLiteral("spdElimina"));
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        QVERIFY(o.dialogs.messages.isEmpty());

        // A plain add keeps its row out of the table until it is saved; left blank, it is
        // dropped without a word.
        bool closed = false;
        o.dialogs.modalActions = {[&](QWidget *detail) {
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            closed = !detail->isVisible();
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QVERIFY(closed);
        QVERIFY(o.dialogs.messages.isEmpty());
        QCOMPARE(o.scalar(QStringLiteral("select count(*) from Titoli")).toInt(), 0);
        QVERIFY(o.db().TableTitoli.isEmpty());

        // Something typed is kept; a description emptied again is asked for.
        int storedWhileRefused = -1;
        o.dialogs.modalActions = {[&](QWidget *detail) {
            ReferenceOffice::type(detail, QStringLiteral("DBEdit1"), QStringLiteral("Dott."));
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdInserisci"));
        QCOMPARE(o.scalar(QStringLiteral("select Descrizione from Titoli")).toString(),
                 QStringLiteral("Dott."));
        o.dialogs.modalActions = {[&](QWidget *detail) {
            ReferenceOffice::type(detail, QStringLiteral("DBEdit1"), QString());
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            storedWhileRefused = o.scalar(QStringLiteral("select count(*) from Titoli")).toInt();
            ReferenceOffice::type(detail, QStringLiteral("DBEdit1"), QStringLiteral("Dott."));
            ReferenceOffice::click(detail, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.click(&list, QStringLiteral("spdAvanti"));
        QCOMPARE(storedWhileRefused, 1);
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di errore: Attenzione manca descrizione!"});
        QCOMPARE(o.dialogs.modalWindows, QStringList(3, QStringLiteral("frmTitoli_Dettaglio")));
    }
};

QTEST_MAIN(TestLookupWindows)
#include "tst_lookupwindows.moc"
