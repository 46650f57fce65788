// The template list and editor and the three steps of the notice wizard, driven through their
// real controls.

#include "common/datasetmodel.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/datasetcombobox.h"
#include "db/core/datetimes.h"
#include "noticeoffice.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QTest>

#include <QToolButton>
#include <algorithm>

namespace {

using drive::click;
using drive::in;
using drive::type;

void templates(FreshArchive &a)
{
    for (const char *name : {"Auguri", "Chiusura estiva", "d'Autunno", "D'Amico saluti"})
        a.native(QStringLiteral("insert into Avvisi (Descrizione, Testo) values (?, ?)"),
                 {QString::fromUtf8(name), QStringLiteral("Testo di ") + QString::fromUtf8(name)});
}

QStringList names(const db::DataSet &ds)
{
    QStringList values;
    for (int r = 0; r < ds.recordCount(); ++r)
        values << ds.valueAt(r, ds.columnIndex(u"Descrizione")).toString();
    return values;
}

void typeInto(QWidget *window, const QString &name, const QString &text)
{
    QWidget *field = in(window, name);
    field->setFocus();
    QTest::keyClicks(field, text);
}

// Ten contacts: with and without a municipality, in two provinces, born around 1960, one
// cancelled, one without a display name, names with "|" and an apostrophe.
void contacts(FreshArchive &a)
{
    const auto town = [&](const char *name) {
        return a
            .native(QStringLiteral("select ID from Comuni where Comune = ?"),
                    {QString::fromUtf8(name)})
            .rows[0][0];
    };
    const QVariant forli = town("Forlì"), cesena = town("Cesena"), rimini = town("Rimini");
    const auto born = [](int y, int m, int d) {
        return QVariant(db::naiveDateTime(QDate(y, m, d)));
    };
    struct Row
    {
        int id;
        QVariant name, city, birth;
        bool cancelled;
    };
    const Row rows[] = {
        {1, "Rossi Mario", forli, born(1960, 1, 1), false},
        {2, "Bianchi | Verdi", cesena, born(1960, 12, 31), false},
        {3, "D'Amico|7", rimini, born(1959, 12, 31), false},
        {4, "Neri Anna", QVariant(), born(1961, 1, 1), false},
        {5, "Gialli Ugo", forli, QVariant(), true},
        {6, QVariant(), forli, born(1960, 6, 1), false},
        {7, "Azzurri Pia", forli, born(1960, 6, 15), false},
        {8, "Viola Ada", rimini, QVariant(), false},
        {9, "Marrone Eva", cesena, QVariant(), false},
        {10, "Grigi Ivo", QVariant(), QVariant(), false},
    };
    for (const Row &r : rows)
        a.native(QStringLiteral("insert into Contatti (ID, NominativoVisualizzato, "
                                "NominativoDocumenti, Citta_ID, DataNascita, Annullato) values "
                                "(?, ?, ?, ?, ?, ?)"),
                 {r.id, r.name, r.name, r.city, r.birth, r.cancelled});
}

} // namespace

class TestNoticeWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void templateSearchByNameBeginning()
    {
        NoticeOffice o(templates);
        const db::DataSet &ds = o.notices.TableAvvisi;
        type(&o.grigliaAvvisi, QStringLiteral("Edit1"), QStringLiteral("d'A"));
        QCOMPARE(ds.filter(), QStringLiteral("Descrizione like 'd''A*'"));
        QCOMPARE(names(ds), (QStringList{"D'Amico saluti", "d'Autunno"}));
        type(&o.grigliaAvvisi, QStringLiteral("Edit1"), QStringLiteral("*"));
        QCOMPARE(ds.filter(), QString());
        QCOMPARE(ds.recordCount(), 4);
        o.grigliaAvvisi.reset();
        QCOMPARE(in<QLineEdit>(&o.grigliaAvvisi, QStringLiteral("Edit1"))->text(), QString());
    }

    void sortByTitleButNeverByText()
    {
        NoticeOffice o(templates);
        db::DataSet &ds = o.notices.TableAvvisi;
        Q_EMIT o.grigliaAvvisi.grid()->titleClicked(QStringLiteral("Testo"));
        QCOMPARE(ds.sort(), QString());
        Q_EMIT o.grigliaAvvisi.grid()->titleClicked(QStringLiteral("Descrizione"));
        QCOMPARE(ds.sort(), QStringLiteral("Descrizione ASC"));
        Q_EMIT o.grigliaAvvisi.grid()->titleClicked(QStringLiteral("Descrizione"));
        QCOMPARE(ds.sort(), QStringLiteral("Descrizione DESC"));
        QCOMPARE(names(ds).first(), QStringLiteral("d'Autunno"));
    }

    // The arrow on a title says which column the rows are sorted by and which way, as the
    // mouse leaves it; a column that does not sort shows none.
    void theSortedColumnShowsItsArrow()
    {
        NoticeOffice o(templates);
        o.grigliaAvvisi.show();
        DataGrid *grid = o.grigliaAvvisi.grid();
        QHeaderView *header = grid->horizontalHeader();
        const auto section = [&](const QString &field) {
            const auto *model = qobject_cast<const DataSetModel *>(grid->model());
            for (qsizetype c = 0; c < model->columns().size(); ++c) {
                if (model->columns()[c].field == field)
                    return int(c);
            }
            return -1;
        };
        const auto clickTitle = [&](const QString &field) {
            const int s = section(field);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(s) + 5, header->height() / 2));
        };
        QCOMPARE(header->sortIndicatorSection(), -1);
        clickTitle(QStringLiteral("Descrizione"));
        QCOMPARE(o.notices.TableAvvisi.sort(), QStringLiteral("Descrizione ASC"));
        QCOMPARE(header->sortIndicatorSection(), section(QStringLiteral("Descrizione")));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        clickTitle(QStringLiteral("Descrizione"));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        clickTitle(QStringLiteral("Testo")); // not sortable: the sort and its arrow stay
        QCOMPARE(header->sortIndicatorSection(), section(QStringLiteral("Descrizione")));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        QVERIFY(header->isSortIndicatorShown());
    }

    void emptyListOpensAndAsksNothing()
    {
        NoticeOffice o;
        click(&o.grigliaAvvisi, QStringLiteral("spdAvanti"));
        click(&o.grigliaAvvisi, QStringLiteral("spdElimina"));
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        QVERIFY(o.dialogs.messages.isEmpty());
    }

    void addedTemplateNeedsNameThenText()
    {
        NoticeOffice o(templates);
        o.dialogs.modalActions = {[&](QWidget *editor) {
            click(editor, QStringLiteral("spdIndietro")); // keep it: answer No
            typeInto(editor, QStringLiteral("DBEdit2"), QStringLiteral("Nuovo orario"));
            click(editor, QStringLiteral("spdIndietro"));
            typeInto(editor, QStringLiteral("DBMemo1"), QStringLiteral("Dal lunedi al venerdi."));
            click(editor, QStringLiteral("spdIndietro"));
            return 0;
        }};
        click(&o.grigliaAvvisi, QStringLiteral("spdInserisci"));
        QCOMPARE(o.dialogs.messages,
                 (QStringList{"Messaggio di avviso: L'avviso non ha né descrizione né testo. "
                              "Eliminarlo?",
                              "Messaggio di Errore: Attenzione manca la Descrizione",
                              "Messaggio di Errore: Attenzione manca il testo"}));
        QVERIFY(!o.avvisi.modified() && !o.avvisi.saveRefused());
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi where Descrizione = ? and "
                                        "Testo = ?"),
                         {"Nuovo orario", QStringLiteral("Dal lunedi al venerdi.")}),
                 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi")), 5);
    }

    // Fields the program does not know are said when the template is written; "grazie" between
    // quotes is no field.
    void unknownFieldsAreNamedWhenTheTemplateIsWritten()
    {
        NoticeOffice o(templates);
        bool stayed = false;
        o.dialogs.answers = {false, true};
        o.dialogs.modalActions = {[&](QWidget *editor) {
            typeInto(editor, QStringLiteral("DBEdit2"), QStringLiteral("Ringraziamento"));
            typeInto(editor, QStringLiteral("DBMemo1"),
                     QStringLiteral("Gentile «Nominativo», in «Indirizzo» vi diciamo «grazie»."));
            click(editor, QStringLiteral("spdIndietro"));
            stayed = editor->isVisible();
            click(editor, QStringLiteral("spdIndietro"));
            return 0;
        }};
        click(&o.grigliaAvvisi, QStringLiteral("spdInserisci"));
        QVERIFY(stayed);
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("«Indirizzo». Saranno")),
                 qPrintable(o.dialogs.messages[0]));
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi where Descrizione = ?"),
                         {"Ringraziamento"}),
                 1);
    }

    void addedTemplateLeftEmptyMayBeDiscarded()
    {
        NoticeOffice o(templates);
        o.dialogs.answers = {true};
        bool stored = false;
        o.dialogs.modalActions = {[&](QWidget *editor) {
            stored = o.count(QStringLiteral("select count(*) from Avvisi")) == 5;
            click(editor, QStringLiteral("spdIndietro"));
            return 0;
        }};
        click(&o.grigliaAvvisi, QStringLiteral("spdInserisci"));
        QVERIFY(stored);
        QCOMPARE(o.dialogs.messages.size(), 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi")), 4);
        QCOMPARE(o.notices.TableAvvisi.recordCount(), 4);
        QVERIFY(!o.avvisi.modified());
    }

    void leavingUntouchedWritesNothing()
    {
        NoticeOffice o(templates);
        o.dialogs.modalActions = {[&](QWidget *editor) {
            // Changed elsewhere meanwhile: a save would overwrite it or complain.
            o.archive.native(QStringLiteral("update Avvisi set Testo = 'altrove' where "
                                            "Descrizione = 'Auguri'"));
            click(editor, QStringLiteral("spdIndietro"));
            return 0;
        }};
        click(&o.grigliaAvvisi, QStringLiteral("spdAvanti"));
        QCOMPARE(o.dialogs.modalWindows, QStringList{"frmAvvisi"});
        QVERIFY(o.dialogs.messages.isEmpty());
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi where Testo = 'altrove'")), 1);
    }

    void failedSaveKeepsTheEditorOpenWithTheText()
    {
        NoticeOffice o(templates);
        o.archive.refuseWrites(QStringLiteral("update"), QStringLiteral("Avvisi"),
                               QStringLiteral("disco pieno"));
        bool stayed = false;
        QString kept;
        o.dialogs.modalActions = {[&](QWidget *editor) {
            QWidget *memo = in(editor, QStringLiteral("DBMemo1"));
            memo->setFocus();
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(memo, QStringLiteral(" Buone feste."));
            click(editor, QStringLiteral("spdIndietro"));
            stayed = editor->isVisible() && o.avvisi.saveRefused();
            kept = in<QPlainTextEdit>(editor, QStringLiteral("DBMemo1"))->toPlainText();
            o.archive.allowWrites();
            click(editor, QStringLiteral("spdIndietro"));
            return 0;
        }};
        click(&o.grigliaAvvisi, QStringLiteral("spdAvanti"));
        QVERIFY(stayed);
        QCOMPARE(kept, QStringLiteral("Testo di Auguri Buone feste."));
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].contains(QStringLiteral("disco pieno")));
        QCOMPARE(o.count(QStringLiteral("select count(*) from Avvisi where Testo = ?"),
                         {QStringLiteral("Testo di Auguri Buone feste.")}),
                 1);
    }

    void importingTheSecondOfThreeTemplatesCopiesThatOne()
    {
        NoticeOffice o([](FreshArchive &a) {
            for (const char *name : {"Primo", "Secondo", "Terzo"})
                a.native(QStringLiteral("insert into Avvisi (Descrizione, Testo) values (?, ?)"),
                         {name, QStringLiteral("Testo ") + QString::fromLatin1(name)});
        });
        QString copied, kept;
        o.dialogs.answers = {false};
        o.dialogs.modalActions = {[&](QWidget *step) {
            auto *combo = in<DataSetComboBox>(step, QStringLiteral("DBLookupComboBox1"));
            Q_EMIT combo->activated(1);
            copied = in<QPlainTextEdit>(step, QStringLiteral("DBMemo1"))->toPlainText();
            Q_EMIT combo->activated(2); // answered No: the text stays
            kept = in<QPlainTextEdit>(step, QStringLiteral("DBMemo1"))->toPlainText();
            click(step, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.campi.apri();
        QCOMPARE(copied, QStringLiteral("Testo Secondo"));
        QCOMPARE(kept, QStringLiteral("Testo Secondo"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: Sei sicuro di voler importare il tipo di "
                             "avviso ?"});
        QCOMPARE(o.count(QStringLiteral("select count(*) from TempAvvisi where NomeComputer = ? "
                                        "and Testo = 'Testo Secondo'"),
                         {o.pc()}),
                 1);
    }

    void noTextNoNextStep()
    {
        NoticeOffice o;
        o.dialogs.modalActions = {[&](QWidget *step) {
            typeInto(step, QStringLiteral("DBMemo1"), QStringLiteral("   "));
            click(step, QStringLiteral("btnContinua"));
            return 0;
        }};
        o.campi.apri();
        QCOMPARE(o.dialogs.modalWindows, QStringList{"frmAvvisiClienti_Campi"});
        QCOMPARE(o.dialogs.messages, QStringList{"Messaggio di Errore: Attenzione manca il testo"});
    }

    void fieldsAreInsertedFromTheMenu()
    {
        NoticeOffice o;
        o.dialogs.modalActions = {[&](QWidget *step) {
            typeInto(step, QStringLiteral("DBMemo1"), QStringLiteral("Gentile "));
            step->findChild<QAction *>(QStringLiteral("Titolo"))->trigger();
            typeInto(step, QStringLiteral("DBMemo1"), QStringLiteral(" "));
            step->findChild<QAction *>(QStringLiteral("Cognome"))->trigger();
            click(step, QStringLiteral("spdIndietro"));
            return 0;
        }};
        o.campi.apri();
        QCOMPARE(o.count(QStringLiteral("select count(*) from TempAvvisi where Testo = ?"),
                         {QStringLiteral("Gentile «Titolo» «Cognome»")}),
                 1);
    }

    // The provinces offered as a filter come in the order of what is shown, not of their codes.
    void provincesAreListedByName()
    {
        NoticeOffice o(contacts);
        o.filtri.reset();
        auto *box = in<DataSetComboBox>(&o.filtri, QStringLiteral("DBLookupComboBox2"));
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown << box->itemText(i);
        QVERIFY(shown.size() > 50);
        QStringList sorted = shown;
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(shown, sorted);
    }

    void wizardFromTextToRecipients()
    {
        NoticeOffice o(contacts);
        QStringList shown;
        o.dialogs.modalActions = {[&](QWidget *step) {
                                      typeInto(step, QStringLiteral("DBMemo1"),
                                               QStringLiteral("Avviso"));
                                      click(step, QStringLiteral("btnContinua"));
                                      return 0;
                                  },
                                  [&](QWidget *filters) {
                                      click(filters, QStringLiteral("btnContinua"));
                                      return 0;
                                  },
                                  [&](QWidget *) {
                                      shown = o.listed();
                                      return 0;
                                  }};
        o.campi.apri();
        QCOMPARE(o.dialogs.modalWindows,
                 (QStringList{"frmAvvisiClienti_Campi", "frmAvvisiClienti_Filtri",
                              "frmAvvisiClienti_Griglia"}));
        // No filter: every contact not cancelled that has a display name, in name order.
        QCOMPARE(shown, (QStringList{"Azzurri Pia", "Bianchi | Verdi", "D'Amico|7", "Grigi Ivo",
                                     "Marrone Eva", "Neri Anna", "Rossi Mario", "Viola Ada"}));
        QCOMPARE(o.griglia.tickedContacts().size(), 8);
    }

    void provinceKeepsOnlyItsMunicipalities()
    {
        NoticeOffice o(contacts);
        o.filtri.reset();
        const QVariant fc =
            o.archive.native(QStringLiteral("select CODPROV from Province where PROVINCIA = 'FC'"))
                .rows[0][0];
        in<DataSetComboBox>(&o.filtri, QStringLiteral("DBLookupComboBox2"))->setKey(fc);
        o.filtri.btnContinuaClick();
        QCOMPARE(o.listed(),
                 (QStringList{"Azzurri Pia", "Bianchi | Verdi", "Marrone Eva", "Rossi Mario"}));
    }

    void birthDatesOfOneYearUnderAnEnglishLocale()
    {
        NoticeOffice o(contacts);
        o.filtri.reset();
        typeInto(&o.filtri, QStringLiteral("maskDa"), QStringLiteral("01011960"));
        typeInto(&o.filtri, QStringLiteral("maskA"), QStringLiteral("31121960"));
        o.filtri.btnContinuaClick();
        QCOMPARE(o.listed(), (QStringList{"Azzurri Pia", "Bianchi | Verdi", "Rossi Mario"}));
        QVERIFY(o.dialogs.messages.isEmpty());
    }

    void aDateThatIsNotADateQueriesNothing()
    {
        NoticeOffice o(contacts);
        o.filtri.btnContinuaClick();
        const QStringList before = o.listed();
        o.dialogs.modalWindows.clear();
        typeInto(&o.filtri, QStringLiteral("maskDa"), QStringLiteral("31021960"));
        o.filtri.btnContinuaClick();
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].contains(QStringLiteral("\"31/02/1960\" non è valida")));
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        QCOMPARE(o.listed(), before);
    }

    // Every name whole, however long, in columns as wide as the longest (the first name listed
    // is a short one).
    void recipientNamesAreNotCut()
    {
        NoticeOffice o([](FreshArchive &a) {
            contacts(a);
            a.native(QStringLiteral("insert into Contatti (ID, NominativoVisualizzato, "
                                    "NominativoDocumenti, Annullato) values (?, ?, ?, ?)"),
                     {20, "Colombo Francesca Maria Antonietta",
                      "Colombo Francesca Maria Antonietta", false});
        });
        o.setNoticeText(QStringLiteral("Avviso"));
        o.filtri.btnContinuaClick();
        o.griglia.show();
        QListWidget *list = o.griglia.list();
        QCOMPARE(list->item(0)->text().trimmed(), QStringLiteral("Azzurri Pia"));
        const QFontMetrics metrics(list->font());
        for (int row = 0; row < list->count(); ++row) {
            const QListWidgetItem *item = list->item(row);
            QVERIFY2(list->visualItemRect(item).width() >
                         metrics.horizontalAdvance(item->text()) + 12,
                     qPrintable(item->text()));
        }
    }

    void ticksDecideTheRecipientsOfThisWorkstationOnly()
    {
        NoticeOffice o(contacts);
        o.setNoticeText(QStringLiteral("Avviso"));
        const QString insert = QStringLiteral(
            "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) values (?, ?)");
        for (int id : {1, 9})
            o.archive.native(insert, {"ALTRO", id});
        o.archive.native(insert, {o.pc(), 4});
        o.filtri.btnContinuaClick();
        o.griglia.NessunaSelezione();
        // Bianchi | Verdi (2), D'Amico|7 (3), Rossi Mario (1)
        for (int row : {1, 2, 6})
            o.griglia.list()->item(row)->setCheckState(Qt::Checked);
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.recipients(o.pc()), (QList<qint64>{1, 2, 3}));
        QCOMPARE(o.recipients(QStringLiteral("ALTRO")), (QList<qint64>{1, 9}));
        QCOMPARE(o.printed, QList<ReportKind>{ReportKind::Notices});

        QVERIFY(o.dialogs.messages.isEmpty());

        // Nothing ticked: said so, nothing printed, the last recipients kept.
        o.griglia.NessunaSelezione();
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.recipients(o.pc()), (QList<qint64>{1, 2, 3}));
        QCOMPARE(o.recipients(QStringLiteral("ALTRO")), (QList<qint64>{1, 9}));
        QCOMPARE(o.printed.size(), 1);
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("Nessun contatto spuntato")),
                 qPrintable(o.dialogs.messages[0]));
    }

    void aFailurePartWayLeavesThePreviousRecipients()
    {
        NoticeOffice o(contacts);
        o.setNoticeText(QStringLiteral("Avviso"));
        o.archive.native(QStringLiteral("insert into TempAvvisiContatti (NomeComputer, "
                                        "Contatto_ID) values (?, 4)"),
                         {o.pc()});
        o.archive.refuseWrites(QStringLiteral("insert"), QStringLiteral("TempAvvisiContatti"),
                               QStringLiteral("archivio bloccato"),
                               QStringLiteral("new.Contatto_ID = 3"));
        o.filtri.btnContinuaClick();
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.recipients(o.pc()), QList<qint64>{4});
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].contains(QStringLiteral("archivio bloccato")));
        QVERIFY(o.printed.isEmpty());
    }

    void noTextNoPrint()
    {
        NoticeOffice o(contacts);
        o.filtri.btnContinuaClick();
        o.setNoticeText(QStringLiteral("  \n "));
        click(&o.griglia, QStringLiteral("btnStampa"));
        o.archive.native(QStringLiteral("delete from TempAvvisi"));
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY(o.dialogs.messages[0].startsWith(
            QStringLiteral("Messaggio di errore: Il testo dell'avviso è vuoto")));
        QVERIFY(o.printed.isEmpty());
        QVERIFY(o.recipients(o.pc()).isEmpty());
    }

    void unknownFieldsAreNamedBeforePrinting()
    {
        NoticeOffice o(contacts);
        o.setNoticeText(QStringLiteral("Gentile «Titolo» «Cogome» e «Cogome»"));
        o.filtri.btnContinuaClick();
        o.dialogs.answers = {false, true};
        click(&o.griglia, QStringLiteral("btnStampa"));
        QVERIFY(o.printed.isEmpty());
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.printed.size(), 1);
        QCOMPARE(o.dialogs.messages.size(), 2);
        // Accepted once, not asked again at the next print of the same text.
        click(&o.griglia, QStringLiteral("btnStampa"));
        QCOMPARE(o.printed.size(), 2);
        QCOMPARE(o.dialogs.messages.size(), 2);
        QCOMPARE(o.dialogs.messages[0],
                 QStringLiteral("Messaggio di avviso: Il testo contiene campi che il programma "
                                "non conosce: «Cogome». Saranno stampati così come sono "
                                "scritti. Stampare comunque?"));
    }
};

QTEST_MAIN(TestNoticeWindows)
#include "tst_noticewindows.moc"
