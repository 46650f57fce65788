// The contact list, the contact editor and the payments, driven through their real controls.

#include "agenda/agendastore.h"
#include "common/colours.h"
#include "common/widgets/datagrid.h"
#include "contacts/contactstore.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "payments/windows/frmpagamenticontatto.h"
#include "payments/windows/pagamentipage.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"
#include "sheets/csvfile.h"
#include "sheets/xlsxfile.h"
#include "testsupport.h"
#include "vcard/vcardreader.h"
#include "vobjectcheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

namespace {

QDateTime day(int y, int m, int d)
{
    return db::naiveDateTime(QDate(y, m, d));
}

// An office with a few contacts, the shared data sets open and the windows of this subsystem.
struct Office
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    Tform_DB db;
    ReferenceStore reference{db.shared()};
    PaymentStore payments{db.shared()};
    AgendaStore agenda{db.shared()};
    OptionsStore options{db.shared()};
    ContactStore contacts{db.shared(), agenda};
    TfrmImportaPagamento picker{reference.TableTipoPagamenti};
    TfrmPagamentiContatto payment{payments, picker};
    TfrmContattiDett editor{contacts, reference, payments, payment};
    TfrmIndirizziEmail addresses;
    TfrmContatti list{contacts, reference,        payments, agenda,
                      options,  db.gridLayouts(), editor,   addresses};

    Office()
    {
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, RagioneSociale, Cognome, Nome, NominativoDocumenti, "
            "NominativoVisualizzato, "
            "email, secEmail, Cellulare, Categoria_ID, ColoreCategoria, NumeroColore, Festivita) "
            "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        archive.native(contact,
                       {1, QVariant(), "Rossi", "Mario", "Rossi Mario", "Rossi Mario", "m@rossi.it",
                        "mario@studio.it", "3331234", 1, 255, 16777215, true});
        archive.native(contact,
                       {2, QVariant(), "D'Amico", "Lucia", "D'Amico Lucia", "D'Amico Lucia",
                        QVariant(), "lucia@amico.it", "0612", QVariant(), QVariant(), 0, false});
        archive.native(contact, {3, "Romagnoli S.p.A.", QVariant(), QVariant(), "Romagnoli S.p.A.",
                                 "Romagnoli S.p.A.", QVariant(), QVariant(), "3339999", QVariant(),
                                 QVariant(), 65280, true});
        archive.native(QStringLiteral(
            "insert into Categorie (Id, Descrizione, ColoreCategoria) values (1, 'Clienti', 255)"));
        archive.native(QStringLiteral("insert into Categorie (Id, Descrizione, ColoreCategoria) "
                                      "values (2, 'Fornitori', 65280)"));
        archive.native(
            QStringLiteral("insert into TipoPagamenti (Descrizione) values ('Bonifico')"));
        const QString appointment =
            QStringLiteral("insert into Calendario (Data, Cliente_ID, Cliente) values (?, ?, ?)");
        archive.native(appointment, {day(2026, 12, 9), 1, "Rossi Mario"});
        archive.native(appointment, {day(2026, 12, 10), 2, "D'Amico Lucia"});
        const QString pay = QStringLiteral(
            "insert into Pagamenti (Contatto_ID, data, Descrizione, Importo) values (?, ?, ?, ?)");
        archive.native(pay, {1, day(2026, 1, 5), "Acconto", 500.0});
        archive.native(pay, {1, day(2026, 3, 5), "Saldo", 99.5});
        if (!db.Connessione().open(archive.path()) || !db.reopenSharedDataSets())
            qFatal("cannot open the office archive");
        list.show();
    }
    template <typename T> T *in(QWidget *window, const QString &name)
    {
        T *child = window->findChild<T *>(name);
        if (!child)
            qFatal("no %s", qPrintable(name));
        return child;
    }
    void type(QWidget *window, const QString &name, const QString &text)
    {
        auto *edit = in<QLineEdit>(window, name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void click(QWidget *window, const QString &name) { in<QAbstractButton>(window, name)->click(); }
    db::RowSet contact(int id)
    {
        return archive.run(QStringLiteral("select * from Contatti where ID = %1").arg(id));
    }
    QStringList listed()
    {
        QStringList names;
        db::DataSet &ds = contacts.TableCercaContatti;
        for (int r = 0; r < ds.recordCount(); ++r)
            names << ds.valueAt(r, ds.columnIndex(u"NominativoDocumenti")).toString();
        return names;
    }
};

} // namespace

class TestContactWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 0))); }
    void cleanup() { db::clock::useSystemTime(); }

    void typingNarrowsTheList()
    {
        Office o;
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("ro"));
        QCOMPARE(o.contacts.TableCercaContatti.filter(),
                 QStringLiteral("NominativoDocumenti like 'ro*'"));
        QCOMPARE(o.listed(), QStringList({"Romagnoli S.p.A.", "Rossi Mario"}));
        o.type(&o.list, QStringLiteral("Edit6"), QStringLiteral("33"));
        QCOMPARE(o.contacts.TableCercaContatti.filter(),
                 QStringLiteral("NominativoDocumenti like 'ro*' and (cellulare like '33*' or "
                                "UfficioCellulare like '33*')"));
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("D'Am"));
        QCOMPARE(o.listed(), QStringList());
        o.type(&o.list, QStringLiteral("Edit6"), QString());
        QCOMPARE(o.listed(), QStringList({"D'Amico Lucia"}));
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("*"));
        QCOMPARE(o.contacts.TableCercaContatti.filter(), QString());
        QCOMPARE(o.listed().size(), 3);
    }

    void categoryListNarrowsAndClearsByKey()
    {
        Office o;
        auto *categoria = o.in<QComboBox>(&o.list, QStringLiteral("DBLookupComboBox1"));
        categoria->setFocus();
        QTest::keyClick(categoria, Qt::Key_Down); // chooses "Clienti"
        QCOMPARE(o.contacts.TableCercaContatti.filter(), QStringLiteral("Categoria = 'Clienti'"));
        QCOMPARE(o.listed(), QStringList({"Rossi Mario"}));
        QTest::keyClick(categoria, Qt::Key_Backspace);
        QCOMPARE(o.contacts.TableCercaContatti.filter(), QString());
    }

    void headerClicksSortUpThenDown()
    {
        Office o;
        QHeaderView *header = o.list.grid()->horizontalHeader();
        const auto clickTitle = [&](int section) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
        };
        clickTitle(0);
        QCOMPARE(o.contacts.TableCercaContatti.sort(), QStringLiteral("NominativoDocumenti ASC"));
        QCOMPARE(o.listed().first(), QStringLiteral("D'Amico Lucia"));
        clickTitle(0);
        QCOMPARE(o.contacts.TableCercaContatti.sort(), QStringLiteral("NominativoDocumenti DESC"));
        QCOMPARE(o.listed().first(), QStringLiteral("Rossi Mario"));
        clickTitle(5);
        QCOMPARE(o.contacts.TableCercaContatti.sort(), QStringLiteral("Cellulare ASC"));
    }

    void rowsCarryTheirColours()
    {
        Office o;
        DataSetModel *model = o.list.gridModel();
        const auto colourOf = [&](const QString &name) {
            return model->data(model->index(int(o.listed().indexOf(name)), 0), Qt::BackgroundRole);
        };
        QCOMPARE(colourOf(QStringLiteral("Rossi Mario")).value<QColor>(), QColor(255, 0, 0));
        QVERIFY(!colourOf(QStringLiteral("D'Amico Lucia")).isValid());
        QCOMPARE(colourOf(QStringLiteral("Romagnoli S.p.A.")).value<QColor>(), QColor(0, 255, 0));
        // Text on a coloured row is black or white, whichever reads better.
        const auto textOf = [&](const QString &name) {
            return model->data(model->index(int(o.listed().indexOf(name)), 0), Qt::ForegroundRole);
        };
        QCOMPARE(textOf(QStringLiteral("Rossi Mario")).value<QColor>(), QColor(Qt::white));
        QCOMPARE(textOf(QStringLiteral("Romagnoli S.p.A.")).value<QColor>(), QColor(Qt::black));
        QVERIFY(!textOf(QStringLiteral("D'Amico Lucia")).isValid());
        QCOMPARE(readableTextOn(QColor(0, 0, 255)), QColor(Qt::white));
        QCOMPARE(readableTextOn(QColor(128, 0, 128)), QColor(Qt::white));
        QCOMPARE(readableTextOn(QColor(255, 255, 0)), QColor(Qt::black));
    }

    void deleteLandsOnTheRowAbove()
    {
        Office o;
        o.dialogs.answers = {true, true};
        o.contacts.TableCercaContatti.setPosition(1); // Romagnoli, the middle row
        o.click(&o.list, QStringLiteral("spdElimina"));
        QCOMPARE(o.contacts.TableCercaContatti.asString(u"NominativoDocumenti"),
                 QStringLiteral("D'Amico Lucia"));
        o.contacts.TableCercaContatti.first();
        o.click(&o.list, QStringLiteral("spdElimina"));
        QCOMPARE(o.listed(), QStringList({"Rossi Mario"}));
        QCOMPARE(o.contacts.TableCercaContatti.position(), 0);
        // The question names the contact, and Enter keeps it.
        QVERIFY2(o.dialogs.messages.first().startsWith(
                     QStringLiteral("Messaggio di avviso: Sei sicuro di voler eliminare il "
                                    "contatto?\nRomagnoli")),
                 qPrintable(o.dialogs.messages.first()));
        QCOMPARE(o.dialogs.preselected.first(), Dialogs::Answer::No);
        QCOMPARE(o.archive.run(QStringLiteral("select * from Contatti")).rows.size(), 1);

        // What the ordinary delete leaves behind is said, with the way to take it too.
        o.dialogs.messages.clear();
        o.dialogs.answers = {false};
        o.click(&o.list, QStringLiteral("spdElimina")); // Rossi: 2 payments, 1 appointment
        QVERIFY2(o.dialogs.messages.value(0).contains(
                     QStringLiteral("Restano in archivio 2 pagamenti e 1 appuntamento")),
                 qPrintable(o.dialogs.messages.value(0)));
        QVERIFY(o.dialogs.messages.value(0).contains(QStringLiteral("Cancella definitivamente")));
    }

    void copiedAddressesOfTheSelection()
    {
        Office o;
        o.click(&o.list, QStringLiteral("spdCopyEmail"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral("Messaggio di errore: Attenzione devi selezionare i "
                                            "contatti da copiare le email")});
        o.list.grid()->selectRow(2, true); // Rossi: two addresses
        o.list.grid()->selectRow(0, true); // D'Amico: the second one only
        o.click(&o.list, QStringLiteral("spdCopyEmail"));
        QCOMPARE(o.addresses.text(),
                 QStringLiteral("m@rossi.it, \nmario@studio.it, \nlucia@amico.it, "));
        QCOMPARE(o.dialogs.modalWindows, QStringList{QStringLiteral("frmIndirizziEmail")});
    }

    void sendEmailGetsTheAddressesOfTheSelection()
    {
        Office o;
        QList<QStringList> sent;
        o.list.setSendEmail([&](const QStringList &addresses) { sent << addresses; });
        o.click(&o.list, QStringLiteral("spdEmail"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral("Messaggio di errore: Attenzione devi selezionare i "
                                            "contatti da copiare le email")});
        QVERIFY(sent.isEmpty());
        o.list.grid()->selectRow(2, true); // Rossi: two addresses
        o.list.grid()->selectRow(0, true); // D'Amico: the second one only
        o.click(&o.list, QStringLiteral("spdEmail"));
        QCOMPARE(sent, (QList<QStringList>{{"m@rossi.it", "mario@studio.it", "lucia@amico.it"}}));
    }

    void addressPromptKeepsTheApostrophe()
    {
        TfrmInsEmail prompt;
        prompt.show();
        auto *box = prompt.findChild<QLineEdit *>(QStringLiteral("txtEmail"));
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("o'brien@esempio.it"));
        QCOMPARE(prompt.email(), QStringLiteral("o'brien@esempio.it"));
    }

    void exportWritesTheSelectionInTheOrderChosen()
    {
        Office o;
        QTemporaryDir dir;
        o.click(&o.list, QStringLiteral("btEsportaVCard"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{
                     "Messaggio di errore: Attenzione devi selezionare i contatti da Esportare"});
        o.list.grid()->selectRow(2, true); // Rossi
        o.list.grid()->selectRow(0, true); // D'Amico
        o.dialogs.files << dir.filePath(QStringLiteral("rubrica"));
        o.click(&o.list, QStringLiteral("btEsportaVCard"));
        QCOMPARE(o.dialogs.suggestedFiles, QStringList{documentsFolder() + "/Contatti.vcf"});
        QCOMPARE(o.dialogs.messages.last(), "Esporta Vcard: Esportati 2 contatti nel file " +
                                                dir.filePath("rubrica.vcf") + ".");
        QFile file(dir.filePath(QStringLiteral("rubrica.vcf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        QString error;
        QCOMPARE(vobjectCards(written, &error).size(), 2);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QList<DatiVCard> cards = LeggiVCard(written);
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0][vcard::FamilyName], QStringLiteral("Rossi"));
        QCOMPARE(cards[1][vcard::FamilyName], QStringLiteral("D'Amico"));

        o.click(&o.list, QStringLiteral("btEsportaVCard")); // cancelled: nothing written
        o.dialogs.files << dir.filePath(QStringLiteral("rubrica.vcf/altra.vcf"));
        o.click(&o.list, QStringLiteral("btEsportaVCard"));
        QCOMPARE(o.dialogs.messages.size(), 3);
        QVERIFY(
            o.dialogs.messages[2].startsWith("Messaggio di errore: Impossibile scrivere il file "));
        // One contact's card is offered under the contact's name.
        o.list.grid()->clearSelection();
        o.list.grid()->selectRow(2, true);
        o.click(&o.list, QStringLiteral("btEsportaVCard"));
        QCOMPARE(QFileInfo(o.dialogs.suggestedFiles.last()).fileName(),
                 QStringLiteral("Rossi Mario.vcf"));
        QVERIFY(!QApplication::overrideCursor());
    }

    // "Importa foglio": the columns' matching shown and changeable, the import off the window's
    // thread, its summary, the list showing the new contact.
    void spreadsheetImportShowsItsColumnsAndImports()
    {
        Office o;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nomi.csv"));
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Cognome;Nome;Colore;Phone 1 - Type;Phone 1 - Value\r\n"
                  "Verdi;Anna;blu;Mobile;333 7\r\nRossi;Mario;rosso;Home;06 1\r\n");
        csv.close();
        const QString archive = o.archive.path();
        o.list.setOpenConnection([archive] { return db::openArchive(archive); });
        o.dialogs.files << path;
        o.dialogs.modalActions << [&](QWidget *w) {
            auto *window = qobject_cast<TfrmImportaFoglio *>(w);
            const auto combo = [&](int c) {
                return window->findChild<QComboBox *>(QStringLiteral("cmbColonna%1").arg(c));
            };
            if (!window || combo(0)->currentText() != u"Cognome" ||
                combo(2)->currentText() != u"(non importare)" ||
                combo(3)->currentText() != u"(non importare)" ||
                combo(4)->currentText() != u"Telefono (secondo «Phone 1 - Type»)")
                return -1;
            combo(2)->setCurrentText(QStringLiteral("Note"));
            window->findChild<QPushButton *>(QStringLiteral("btnImporta"))->click();
            if (!QTest::qWaitFor([window] { return !window->isRunning(); }, 20000))
                return -2;
            return window->result();
        };
        o.click(&o.list, QStringLiteral("btImportaFoglio"));
        QCOMPARE(o.dialogs.modalWindows.last(), QStringLiteral("frmImportaFoglio"));
        QVERIFY2(o.dialogs.messages.last().startsWith(
                     "Importa foglio: 1 nuovi, 0 aggiornati, 1 saltati\nRiga 3 (Rossi Mario): "
                     "già in archivio"),
                 qPrintable(o.dialogs.messages.join(u'|')));
        QVERIFY(o.listed().contains(QStringLiteral("Verdi Anna")));
        const db::RowSet verdi = o.archive.run(
            QStringLiteral("select Note, Cellulare from Contatti where Cognome = 'Verdi'"));
        QCOMPARE(verdi.rows[0][0].toString(), QStringLiteral("blu"));
        QCOMPARE(verdi.rows[0][1].toString(), QStringLiteral("333 7"));
        QCOMPARE(o.archive.run(QStringLiteral("select count(*) from Contatti")).rows[0][0].toInt(),
                 4);

        // Opened again: Enter imports and the contacts in the archive are skipped, whatever was
        // chosen the last time; two columns in one field are refused before anything is written.
        o.dialogs.files << path;
        o.dialogs.modalActions << [&](QWidget *w) {
            auto *window = qobject_cast<TfrmImportaFoglio *>(w);
            auto *importa = window->findChild<QPushButton *>(QStringLiteral("btnImporta"));
            if (!importa->isDefault() ||
                window->findChild<QComboBox *>(QStringLiteral("cmbAzione"))->currentIndex() != 0)
                return -1;
            window->findChild<QComboBox *>(QStringLiteral("cmbColonna2"))
                ->setCurrentText(QStringLiteral("Cognome"));
            importa->click();
            return window->isRunning() ? -2 : 0;
        };
        o.click(&o.list, QStringLiteral("btImportaFoglio"));
        QVERIFY2(o.dialogs.messages.last().contains(
                     QStringLiteral("Le colonne «Cognome» e «Colore» vanno tutte e due in "
                                    "«Cognome»")),
                 qPrintable(o.dialogs.messages.last()));
        QCOMPARE(o.archive.run(QStringLiteral("select count(*) from Contatti")).rows[0][0].toInt(),
                 4);
    }

    // "Esporta foglio": the whole list in its order, or the contacts selected in theirs.
    void spreadsheetExportWritesTheListOrTheSelection()
    {
        Office o;
        QTemporaryDir dir;
        o.dialogs.files << dir.filePath(QStringLiteral("elenco"));
        o.click(&o.list, QStringLiteral("btEsportaFoglio"));
        QCOMPARE(o.dialogs.suggestedFiles.last(), documentsFolder() + "/Contatti.xlsx");
        QVERIFY(QTest::qWaitFor([&] { return !o.list.isExporting(); }, 20000));
        QCOMPARE(o.dialogs.messages.last(), "Esporta foglio: Esportati 3 contatti nel file " +
                                                dir.filePath("elenco.xlsx") + ".");
        QFile xlsx(dir.filePath(QStringLiteral("elenco.xlsx")));
        QVERIFY(xlsx.open(QIODevice::ReadOnly));
        const db::Result<sheets::SheetRows> all = sheets::readXlsx(xlsx.readAll());
        QVERIFY(all);
        QCOMPARE(all->size(), 4);
        QStringList names;
        for (qsizetype r = 1; r < all->size(); ++r)
            names << (all->at(r).value(0).toString() + all->at(r).value(2).toString());
        QCOMPARE(names, (QStringList{"D'Amico", "Romagnoli S.p.A.", "Rossi"}));

        o.list.grid()->selectRow(2, true); // Rossi
        o.list.grid()->selectRow(0, true); // D'Amico
        o.dialogs.files << dir.filePath(QStringLiteral("scelti.csv"));
        o.click(&o.list, QStringLiteral("btEsportaFoglio"));
        QVERIFY(QTest::qWaitFor([&] { return !o.list.isExporting(); }, 20000));
        QFile csv(dir.filePath(QStringLiteral("scelti.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const db::Result<sheets::SheetRows> chosen = sheets::readCsv(csv.readAll());
        QCOMPARE(chosen->size(), 3);
        QCOMPARE(chosen->at(1).value(0).toString(), QStringLiteral("Rossi"));
        QCOMPARE(chosen->at(2).value(0).toString(), QStringLiteral("D'Amico"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void importAsksThenGivesBackTheList()
    {
        Office o;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("telefono.vcf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:Calvetra1\r\nN:Rossi;Mario;;;\r\n"
                   "TEL;TYPE=home:06 77\r\nCATEGORIES:Nuova\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Rota;Carla;;;\r\nEND:VCARD\r\n"
                   "BEGIN:VCARD\r\nVERSION:3.0\r\nORG:Romagnoli S.p.A.\r\nEND:VCARD\r\n");
        file.close();
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("ro"));
        QVERIFY(*o.contacts.TableCercaContatti.locate(u"Ide", 1));
        o.dialogs.files << path;
        o.dialogs.choices << "No"
                          << "Sì"; // Rossi updated, Romagnoli skipped
        o.click(&o.list, QStringLiteral("btImportaVCard"));
        QCOMPARE(o.dialogs.offered.first(),
                 QStringList({"Sì", "Sì a tutti", "No", "No a tutti", "Annulla"}));
        QCOMPARE(o.dialogs.defaults.first(), QStringLiteral("Sì"));
        const QString asked = QStringLiteral(
            "Messaggio di avviso: Il contatto :%1 e' già presente in archivio: Come si vuole "
            "procedere ? Salto il contatto ?");
        QCOMPARE(o.dialogs.messages,
                 QStringList({asked.arg("Rossi Mario"), asked.arg("Romagnoli S.p.A."),
                              "Importa Vcard: 1 nuovi, 1 aggiornati, 1 saltati"}));
        QCOMPARE(o.contact(1).value(0, u"Telefono"), QVariant(QStringLiteral("06 77")));
        // The same search, the same contact, the new one listed, the new category offered.
        QCOMPARE(o.contacts.TableCercaContatti.filter(),
                 QStringLiteral("NominativoDocumenti like 'ro*'"));
        QCOMPARE(o.listed(), QStringList({"Romagnoli S.p.A.", "Rossi Mario", "Rota Carla"}));
        QCOMPARE(o.contacts.TableCercaContatti.asInteger(u"Ide"), 1);
        QVERIFY(*o.reference.TableCategorie.locate(u"Descrizione", QStringLiteral("Nuova")));
        QVERIFY(!o.contacts.TableCercaContatti.controlsDisabled());
        QVERIFY(!QApplication::overrideCursor());

        // "Aggiorna automaticamente" asks nothing, saved by any workstation just before.
        o.archive.native(QStringLiteral("update opzioni set AzioneImportazioneVCard = 2"));
        o.dialogs.messages.clear();
        o.dialogs.files << path;
        o.click(&o.list, QStringLiteral("btImportaVCard"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Importa Vcard: 0 nuovi, 3 aggiornati, 0 saltati"});

        // "Annulla" at the question, or Esc, writes nothing at all, not even the new ones.
        o.archive.native(QStringLiteral("update opzioni set AzioneImportazioneVCard = 0"));
        o.archive.native(QStringLiteral("delete from Contatti where Cognome = 'Rota'"));
        const int before = o.archive.native(QStringLiteral("select count(*) as n from Contatti"))
                               .value(0, u"n")
                               .toInt();
        o.dialogs.messages.clear();
        o.dialogs.files << path;
        o.click(&o.list, QStringLiteral("btImportaVCard"));
        QCOMPARE(o.dialogs.messages.last(),
                 QStringLiteral("Importa Vcard: Importazione annullata: nessun contatto è stato "
                                "importato."));
        QCOMPARE(o.archive.native(QStringLiteral("select count(*) as n from Contatti"))
                     .value(0, u"n")
                     .toInt(),
                 before);
        QVERIFY(!QApplication::overrideCursor());
    }

    void aFailedImportLeavesTheListAsItWas()
    {
        Office o;
        QTemporaryDir dir;
        o.archive.refuseWrites(QStringLiteral("insert"), QStringLiteral("Contatti"),
                               QStringLiteral("disco pieno"),
                               QStringLiteral("new.Cognome = 'Guasto'"));
        const QString path = dir.filePath(QStringLiteral("guasto.vcf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\nN:Nuovo;;;;\nEND:VCARD\nBEGIN:VCARD\nN:Guasto;;;;\nEND:VCARD\n");
        file.close();
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("r"));
        o.dialogs.files << path << dir.filePath(QStringLiteral("vuoto.vcf"));
        o.click(&o.list, QStringLiteral("btImportaVCard"));
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].startsWith("Messaggio di errore: Scheda 2 (Guasto): "));
        QCOMPARE(o.listed(), QStringList({"Romagnoli S.p.A.", "Rossi Mario"}));
        QCOMPARE(o.archive.run(QStringLiteral("select * from Contatti")).rows.size(), 3);
        QVERIFY(!o.contacts.TableCercaContatti.controlsDisabled());
        QVERIFY(!QApplication::overrideCursor());
        o.click(&o.list, QStringLiteral("btImportaVCard")); // a file that is not there
        QVERIFY(o.dialogs.messages[1].startsWith(
            "Messaggio di errore: Impossibile leggere il file vuoto.vcf"));
    }

    void selectionCommandsAndCount()
    {
        Office o;
        o.list.selezionaAuguri();
        QCOMPARE(o.list.grid()->selectedBookmarks().size(), 2);
        o.list.selezionaTutti();
        QCOMPARE(o.list.grid()->selectedBookmarks().size(), 3);
        o.list.contaRecord();
        QCOMPARE(o.dialogs.messages, QStringList{QStringLiteral("Numero dei records: 3")});
    }

    // A contact another workstation deleted opens no editor: the user is told, and the row
    // leaves the list.
    void aContactDeletedElsewhereDoesNotOpen()
    {
        Office o;
        const QStringList before = o.listed();
        o.contacts.TableCercaContatti.first();
        const QString name = o.contacts.TableCercaContatti.asString(u"NominativoDocumenti");
        o.archive.native(QStringLiteral("DELETE FROM Contatti WHERE ID = ?"),
                         {o.contacts.TableCercaContatti.asInteger(u"Ide")});
        o.click(&o.list, QStringLiteral("SpeedButton4")); // "Avanti"
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("non esiste più")),
                 qPrintable(o.dialogs.messages[0]));
        QCOMPARE(o.listed().size(), before.size() - 1);
        QVERIFY(!o.listed().contains(name));
    }

    // The contact being edited is deleted by another workstation: "Indietro" offers to save
    // what was typed as a new contact, or to close without saving; never a trap.
    void aContactDeletedWhileEditedHasAWayOut_data()
    {
        QTest::addColumn<bool>("asNew");
        QTest::newRow("saved as a new contact") << true;
        QTest::newRow("closed without saving") << false;
    }
    void aContactDeletedWhileEditedHasAWayOut()
    {
        QFETCH(bool, asNew);
        Office o;
        QVERIFY(*o.contacts.TableCercaContatti.locate(u"Ide", 1)); // Rossi Mario
        o.dialogs.answers = asNew ? QList<bool>{true} : QList<bool>{false, true};
        bool closed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit7"), QStringLiteral("0543 999"));
            o.archive.native(QStringLiteral("DELETE FROM Contatti WHERE ID = 1"));
            o.click(editor, QStringLiteral("spdIndietro"));
            closed = !editor->isVisible();
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4")); // "Avanti"
        QVERIFY(closed);
        QVERIFY2(o.dialogs.messages.value(0).contains(QStringLiteral("eliminato")),
                 qPrintable(o.dialogs.messages.join(u'|')));
        const db::RowSet kept = o.archive.run(
            QStringLiteral("select ID, Telefono from Contatti where Cognome = 'Rossi'"));
        QCOMPARE(kept.rows.size(), asNew ? 1 : 0);
        if (asNew) {
            QVERIFY(kept.value(0, u"ID").toLongLong() > 3);
            QCOMPARE(kept.value(0, u"Telefono").toString(), QStringLiteral("0543 999"));
            QVERIFY(o.listed().contains(QStringLiteral("Rossi Mario")));
        } else {
            QVERIFY(!o.listed().contains(QStringLiteral("Rossi Mario")));
        }
    }

    // "Dati personali…" writes everything about the contact for the person (through the report
    // runner) or for a program, readable by its owner only; "Cancella definitivamente…" asks,
    // with No as the default, then takes the contact, its payments and appointments, and
    // closes the card.
    void personalDataFromTheCard()
    {
        Office o;
        ContactEditorLinks links;
        links.programFolder = QStringLiteral(CALVETRA_BIN_DIR);
        TfrmContattiDett card{o.contacts, o.reference, o.payments, o.payment, links};
        QVERIFY(*o.contacts.TableCercaContatti.locate(u"Ide", 1)); // Rossi Mario
        QVERIFY(o.contacts.openContact(1));
        QTemporaryDir dir;
        QSignalSpy written(&card, &TfrmContattiDett::exported);
        o.dialogs.files << dir.filePath(QStringLiteral("rossi.json"))
                        << dir.filePath(QStringLiteral("rossi"));
        card.datiPersonali();
        QVERIFY(written.wait(30000));
        QCOMPARE(o.dialogs.suggestedFiles.last(),
                 documentsFolder() + QStringLiteral("/Dati personali - Rossi Mario.pdf"));
        QFile json(dir.filePath(QStringLiteral("rossi.json")));
        QVERIFY(json.open(QIODevice::ReadOnly));
        const QByteArray bytes = json.readAll();
        QVERIFY(bytes.contains("\"Acconto\"") && bytes.contains("Rossi Mario"));
        QVERIFY(!bytes.contains("D'Amico"));
        QCOMPARE(json.permissions() & (QFile::ReadOther | QFile::ReadGroup),
                 QFileDevice::Permissions());
        card.datiPersonali(); // no extension: the copy for the person
        QVERIFY(written.wait(60000));
        QVERIFY2(written.last().first().toString().startsWith(QStringLiteral("Dati personali")),
                 qPrintable(written.last().first().toString()));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("rossi.pdf"))));
        QVERIFY(!QApplication::overrideCursor());

        // The erasure: No keeps everything, Yes takes it all.
        o.dialogs.messages.clear();
        o.dialogs.answers = {false};
        card.cancellaDefinitivamente();
        QVERIFY2(o.dialogs.messages.value(0).contains(QStringLiteral("2 pagamenti")),
                 qPrintable(o.dialogs.messages.value(0)));
        QCOMPARE(o.dialogs.preselected.last(), Dialogs::Answer::No);
        QCOMPARE(o.archive.run(QStringLiteral("select * from Contatti where ID = 1")).rows.size(),
                 1);
        o.dialogs.answers = {true};
        card.show();
        card.cancellaDefinitivamente();
        QVERIFY(!card.isVisible());
        QVERIFY2(o.dialogs.messages.last().contains(QStringLiteral("Cancellati per sempre")),
                 qPrintable(o.dialogs.messages.last()));
        for (const char *sql : {"select * from Contatti where ID = 1",
                                "select * from Pagamenti where Contatto_ID = 1",
                                "select * from Calendario where Cliente_ID = 1"})
            QCOMPARE(o.archive.run(QString::fromLatin1(sql)).rows.size(), 0);
        QVERIFY(!o.listed().contains(QStringLiteral("Rossi Mario")));
        QCOMPARE(o.archive.run(QStringLiteral("select * from Calendario")).rows.size(), 1);
    }

    // A postal code and a date take no letters as they are typed; the tax code's box shows a
    // whole code.
    void boxesTakeWhatTheyHold()
    {
        Office o;
        QString cap, born;
        bool wholeCode = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("Bianchi"));
            o.type(editor, QStringLiteral("DBEdit6"), QStringLiteral("71040Rimini"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("1a/02/1970"));
            cap = o.in<QLineEdit>(editor, QStringLiteral("DBEdit6"))->text();
            born = o.in<QLineEdit>(editor, QStringLiteral("DBEdit18"))->text();
            const auto *code = o.in<QLineEdit>(editor, QStringLiteral("DBEdit13"));
            wholeCode = code->minimumWidth() >=
                        code->fontMetrics().horizontalAdvance(QStringLiteral("RSSMRA70A01H501U"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("spdInserisci"));
        QCOMPARE(cap, QStringLiteral("71040"));
        QCOMPARE(born, QStringLiteral("1/02/1970"));
        QVERIFY(wholeCode);
        QCOMPARE(o.contact(4).value(0, u"Cap").toString(), QStringLiteral("71040"));
    }

    void newContactCannotBeLeftNameless()
    {
        Office o;
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("zz"));
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.click(editor, QStringLiteral("spdIndietro"));
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("Bianchi"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("01/02/1970"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("spdInserisci"));
        // Still blank, the new card may be dropped; answered No, it stays to be filled in.
        QCOMPARE(o.dialogs.messages, QStringList{QStringLiteral(
                                         "Messaggio di avviso: Il contatto è vuoto. Eliminarlo?")});
        QVERIFY(!o.editor.isVisible());
        const db::RowSet added = o.contact(4);
        QCOMPARE(added.value(0, u"NominativoDocumenti").toString(), QStringLiteral("Bianchi"));
        QCOMPARE(added.value(0, u"NominativoVisualizzato").toString(),
                 QStringLiteral("Bianchi - 01/02/1970"));
        QCOMPARE(added.value(0, u"NumeroColore").toInt(), 16777215);
        QCOMPARE(added.value(0, u"Annullato").toBool(), false);
        QCOMPARE(added.value(0, u"DataInserimento").toDateTime(), day(2026, 12, 7));
        QCOMPARE(o.in<QLineEdit>(&o.list, QStringLiteral("Edit1"))->text(), QString());
        QCOMPARE(o.contacts.TableCercaContatti.asInteger(u"Ide"), 4);
    }

    void aBlankNewContactCanBeDroppedButNotANamelessOne()
    {
        Office o;
        o.dialogs.answers = {true};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("spdInserisci"));
        QVERIFY(!o.editor.isVisible());
        QCOMPARE(o.archive.run(QStringLiteral("select count(*) from Contatti")).rows[0][0].toInt(),
                 3);
        QCOMPARE(o.contacts.TableCercaContatti.recordCount(), 3);

        // A card with something typed on it is not blank: the name is asked for.
        o.dialogs.messages.clear();
        bool stayed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit7"), QStringLiteral("0543 123456"));
            o.click(editor, QStringLiteral("spdIndietro"));
            stayed = editor->isVisible();
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("Neri"));
            editor->close(); // the close box does what "Indietro" does
            return 0;
        });
        o.click(&o.list, QStringLiteral("spdInserisci"));
        QVERIFY(stayed);
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral("Messaggio di errore: Attenzione manca la ragione "
                                            "sociale o il cognome del Contatto ")});
        QCOMPARE(
            o.archive.run(QStringLiteral("select Telefono from Contatti where Cognome = 'Neri'"))
                .rows.size(),
            1);
    }

    void anotherWorkstationsChangeCanBeLoadedOrKept()
    {
        for (const bool reload : {false, true}) {
            Office o;
            o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
            bool stayed = false;
            QString shown;
            o.dialogs.answers = {reload};
            o.dialogs.modalActions.append([&](QWidget *editor) {
                o.archive.native(QStringLiteral("update Contatti set Nome = 'Marco' where ID = 1"));
                o.type(editor, QStringLiteral("DBEdit3"), QStringLiteral("Mariano"));
                o.click(editor, QStringLiteral("spdIndietro"));
                stayed = editor->isVisible();
                shown = o.in<QLineEdit>(editor, QStringLiteral("DBEdit3"))->text();
                o.click(editor, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(&o.list, QStringLiteral("SpeedButton4"));
            QVERIFY(stayed);
            QCOMPARE(o.dialogs.messages.size(), reload ? 1 : 2);
            QVERIFY(o.dialogs.messages[0].startsWith(QStringLiteral(
                "Messaggio di avviso: Il record è stato modificato da un'altra postazione.")));
            // Reloaded, the other workstation's name is shown and kept; otherwise the window
            // stays on what was typed, and the next "Indietro" asks again.
            QCOMPARE(shown, reload ? QStringLiteral("Marco") : QStringLiteral("Mariano"));
            if (reload)
                QCOMPARE(o.contact(1).value(0, u"Nome").toString(), QStringLiteral("Marco"));
            else
                QVERIFY(o.editor.isVisible() || o.dialogs.messages.size() == 2);
        }
    }

    void aSearchInTheTownWindowNeitherBlanksNorNarrowsTheEditor()
    {
        Office o;
        o.archive.native(QStringLiteral("update Contatti set Citta_ID = (select ID from Comuni "
                                        "where Comune = 'Forlì') where ID = 1"));
        // What "Comuni" leaves on the shared towns when the user searched "reggio" there.
        QVERIFY(o.reference.TableComuni.setFilter(QStringLiteral("Comune like 'reggio*'")).ok());
        const int narrowed = o.reference.TableComuni.recordCount();
        QString shown;
        int offered = 0;
        QStringList castro;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            auto *town = o.in<QComboBox>(editor, QStringLiteral("DBLookupComboBox5"));
            shown = town->currentText();
            offered = town->count();
            for (int i = 0; i < town->count(); ++i) {
                if (town->itemText(i).startsWith(QStringLiteral("Castro (")))
                    castro << town->itemText(i);
            }
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        // With its province: towns of one name are told apart.
        QCOMPARE(shown, QStringLiteral("Forlì (FC)"));
        QCOMPARE(castro, QStringList({"Castro (BG)", "Castro (LE)"}));
        QCOMPARE(offered, 7904);
        // The other window's search is back when the editor is left.
        QCOMPARE(o.reference.TableComuni.filter(), QStringLiteral("Comune like 'reggio*'"));
        QCOMPARE(o.reference.TableComuni.recordCount(), narrowed);
    }

    void paymentsGridKeepsItsRowsWhileOneIsAdded()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario, two payments
        QStringList shownWhileAdding;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(2);
            o.dialogs.modalActions.append([&](QWidget *) {
                QAbstractItemModel *grid =
                    o.in<QAbstractItemView>(editor, QStringLiteral("DBGrid2"))->model();
                for (int r = 0; r < grid->rowCount(); ++r)
                    shownWhileAdding << grid->index(r, 1).data().toString();
                return 0;
            });
            o.click(editor, QStringLiteral("SpeedButton11"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(shownWhileAdding,
                 QStringList({QStringLiteral("Saldo"), QStringLiteral("Acconto")}));
    }

    void namesColourAndAppointmentsAtSave()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        QString colourShown;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit1"), QStringLiteral("Rossi Impianti S.r.l."));
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("RSSMRA70A01H501S"));
            auto *pages = o.in<QTabWidget>(editor, QStringLiteral("PageControl1"));
            pages->setCurrentIndex(3); // saves on the way
            auto *colour = o.in<QComboBox>(editor, QStringLiteral("ColorBox1"));
            colourShown = colour->currentText();
            colour->setFocus();
            QTest::keyClick(colour, Qt::Key_Home); // "Nero"
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(colourShown, QStringLiteral("Bianco"));
        const db::RowSet saved = o.contact(1);
        QCOMPARE(saved.value(0, u"NominativoDocumenti").toString(),
                 QStringLiteral("Rossi Impianti S.r.l."));
        QCOMPARE(saved.value(0, u"NominativoVisualizzato").toString(),
                 QStringLiteral("Rossi Impianti S.r.l."));
        QCOMPARE(saved.value(0, u"NumeroColore").toInt(), 0);
        const db::RowSet agenda =
            o.archive.run(QStringLiteral("select Cliente from Calendario order by Cliente_ID"));
        QCOMPARE(agenda.rows[0][0].toString(), QStringLiteral("Rossi Impianti S.r.l."));
        QCOMPARE(agenda.rows[1][0].toString(), QStringLiteral("D'Amico Lucia"));
        QCOMPARE(o.contacts.TableCercaContatti.asInteger(u"Ide"), 1);
        // Black is no colour of its own: the row takes its category's, and the page shows white.
        QCOMPARE(o.list.gridModel()
                     ->data(o.list.gridModel()->index(o.contacts.TableCercaContatti.position(), 0),
                            Qt::BackgroundRole)
                     .value<QColor>(),
                 QColor(255, 0, 0));
        QString shownAgain;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(3);
            shownAgain = o.in<QComboBox>(editor, QStringLiteral("ColorBox1"))->currentText();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(shownAgain, QStringLiteral("Bianco"));
    }

    void theContactAndItsAppointmentsAreSavedTogether()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        o.archive.refuseWrites(QStringLiteral("update"), QStringLiteral("Calendario"),
                               QStringLiteral("agenda bloccata"));
        QString storedMeanwhile;
        bool stayed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit1"), QStringLiteral("Rossi Impianti S.r.l."));
            o.click(editor, QStringLiteral("spdIndietro"));
            stayed =
                editor->isVisible() && o.in<QLineEdit>(editor, QStringLiteral("DBEdit1"))->text() ==
                                           u"Rossi Impianti S.r.l.";
            storedMeanwhile = o.contact(1).value(0, u"NominativoDocumenti").toString();
            o.archive.allowWrites();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QVERIFY(stayed);
        QCOMPARE(storedMeanwhile, QStringLiteral("Rossi Mario"));
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].contains(QStringLiteral("agenda bloccata")));
        QCOMPARE(o.contact(1).value(0, u"NominativoDocumenti").toString(),
                 QStringLiteral("Rossi Impianti S.r.l."));
        const db::RowSet agenda =
            o.archive.run(QStringLiteral("select Cliente from Calendario order by Cliente_ID"));
        QCOMPARE(agenda.rows[0][0].toString(), QStringLiteral("Rossi Impianti S.r.l."));
    }

    // The server ends the program's session while a contact is being edited: the save names the
    // server, the editor keeps what was typed, and the next save reconnects and stores it.
    void aServerThatWentAwayLosesNoEdits()
    {
        if (!FreshArchive::onServer())
            QSKIP("an archive on a server only");
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        const QVariant session = o.db.Connessione()
                                     .runNative(QStringLiteral("SELECT pg_backend_pid()"))
                                     ->rows.value(0)
                                     .value(0);
        QString firstTry, storedMeanwhile;
        bool stayed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit1"), QStringLiteral("Rossi Impianti S.r.l."));
            o.archive.native(
                QStringLiteral("SELECT pg_terminate_backend(CAST(? AS INTEGER), 5000)"), {session});
            o.click(editor, QStringLiteral("spdIndietro"));
            firstTry = o.dialogs.messages.value(0);
            stayed =
                editor->isVisible() && o.in<QLineEdit>(editor, QStringLiteral("DBEdit1"))->text() ==
                                           u"Rossi Impianti S.r.l.";
            storedMeanwhile = o.contact(1).value(0, u"NominativoDocumenti").toString();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        const QUrl server(o.archive.path());
        QVERIFY2(firstTry.contains(server.host()) && firstTry.contains(server.path().mid(1)),
                 qPrintable(firstTry));
        QVERIFY(firstTry.contains(u"la prossima operazione proverà a ricollegarsi"));
        QVERIFY(stayed);
        QCOMPARE(storedMeanwhile, QStringLiteral("Rossi Mario"));
        QCOMPARE(o.dialogs.messages.size(), 1);
        QCOMPARE(o.contact(1).value(0, u"NominativoDocumenti").toString(),
                 QStringLiteral("Rossi Impianti S.r.l."));
    }

    void personNamesAndTheTaxCodeAlone()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(0); // D'Amico Lucia
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("DMCLCU80A41F205D"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(o.contact(2).value(0, u"NominativoVisualizzato").toString(),
                 QStringLiteral("D'Amico Lucia"));
        QCOMPARE(o.contact(2).value(0, u"CFisc").toString(), QStringLiteral("DMCLCU80A41F205D"));

        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit1"), QStringLiteral("X"));
            o.type(editor, QStringLiteral("DBEdit3"), QStringLiteral("Lucia Maria"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(o.contact(2).value(0, u"NominativoDocumenti").toString(),
                 QStringLiteral("D'Amico Lucia Maria"));
        QCOMPARE(o.contact(2).value(0, u"NominativoVisualizzato").toString(),
                 QStringLiteral("D'Amico Lucia Maria - DMCLCU80A41F205D"));
    }

    void taxCodeMarksFollowTheTypingAndTheOfficeDecides()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(0); // D'Amico Lucia
        QStringList marks;
        bool stayed = false;
        o.dialogs.answers = {true, false, true};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            auto *cf = o.in<QLabel>(editor, QStringLiteral("CFiscStato"));
            auto *iva = o.in<QLabel>(editor, QStringLiteral("PIvaStato"));
            const auto shown = [&](QLabel *mark) { return mark->text() + u' ' + mark->toolTip(); };
            marks << shown(cf);
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("dmclcu80a41f205"));
            marks << shown(cf);
            QTest::keyClicks(o.in<QLineEdit>(editor, QStringLiteral("DBEdit13")),
                             QStringLiteral("x"));
            marks << shown(cf);
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("dmclcu 80a41 f205d"));
            marks << shown(cf);
            o.type(editor, QStringLiteral("DBEdit14"), QStringLiteral("01234560018"));
            marks << shown(iva);
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("DMCLCU80A41F205X"));
            // Saved anyway, then the partita IVA is to be corrected.
            o.click(editor, QStringLiteral("spdIndietro"));
            stayed = o.in<QLineEdit>(editor, QStringLiteral("DBEdit14"))->hasFocus();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(
            marks,
            QStringList(
                {QStringLiteral(" "),
                 QStringLiteral("\u2717 lunghezza errata: 15 caratteri invece di 16 (o 11 cifre)"),
                 QStringLiteral("\u2717 carattere di controllo errato: atteso D"),
                 QStringLiteral("\u2713 Codice fiscale valido"),
                 QStringLiteral("\u2717 cifra di controllo errata: attesa 7")}));
        QVERIFY(stayed);
        QCOMPARE(
            o.dialogs.messages,
            QStringList(
                {QStringLiteral(
                     "Messaggio di avviso: Il codice fiscale non sembra valido. Salvare comunque?"),
                 QStringLiteral(
                     "Messaggio di avviso: La partita IVA non sembra valida. Salvare comunque?"),
                 QStringLiteral(
                     "Messaggio di avviso: La partita IVA non sembra valida. Salvare comunque?")}));
        QCOMPARE(o.contact(2).value(0, u"CFisc").toString(), QStringLiteral("DMCLCU80A41F205X"));
        QCOMPARE(o.contact(2).value(0, u"PIva").toString(), QStringLiteral("01234560018"));

        // Stored odd codes are the office's: the contact opens and saves without a question.
        o.dialogs.messages.clear();
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit4"), QStringLiteral("Via Po"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(o.dialogs.messages, QStringList());
        QCOMPARE(o.contact(2).value(0, u"Indirizzo").toString(), QStringLiteral("Via Po"));
    }

    void birthDataFromTheTaxCode()
    {
        Office o;
        const qint64 milano =
            o.archive.run(QStringLiteral("select ID from Comuni where CODICE_F = 'F205'"))
                .value(0, u"ID")
                .toLongLong();
        o.contacts.TableCercaContatti.setPosition(0); // D'Amico Lucia
        o.dialogs.answers = {false};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("DMCLCU80A41F205D"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("02/01/1980"));
            o.click(editor, QStringLiteral("spdDatiCF"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        // The typed date differs and stays; the empty sex and birthplace come from the code.
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral(
                     "Messaggio di avviso: Questi dati sono diversi da quelli del codice "
                     "fiscale:\nData di nascita: 02/01/1980 (dal codice: 01/01/1980)\n"
                     "Sostituirli con quelli del codice fiscale?")});
        db::RowSet saved = o.contact(2);
        QCOMPARE(saved.value(0, u"DataNascita").toDateTime(), day(1980, 1, 2));
        QCOMPARE(saved.value(0, u"Sesso").toString(), QStringLiteral("F"));
        QCOMPARE(saved.value(0, u"LuogoNascita").toString(), QStringLiteral("Milano"));
        QCOMPARE(saved.value(0, u"LuogoNascita_Id").toLongLong(), milano);

        // Asked again, replaced; born abroad: the birthplace is left as it was, and that is said.
        o.dialogs.messages.clear();
        o.dialogs.answers = {true};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("DMCLCU80A41Z404X"));
            o.click(editor, QStringLiteral("spdDatiCF"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(o.dialogs.messages.value(1),
                 QStringLiteral("Messaggio di avviso: Il codice fiscale indica una nascita "
                                "all'estero (codice Z404): "
                                "il luogo di nascita non è stato compilato."));
        saved = o.contact(2);
        QCOMPARE(saved.value(0, u"DataNascita").toDateTime(), day(1980, 1, 1));
        QCOMPARE(saved.value(0, u"LuogoNascita").toString(), QStringLiteral("Milano"));
    }

    void computedTaxCodeIsOffered()
    {
        Office o;
        o.archive.native(QStringLiteral(
            "update Contatti set Sesso = 'M', LuogoNascita = 'Roma', LuogoNascita_Id = "
            "(select ID from Comuni where CODICE_F = 'H501') where ID = 1"));
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        o.dialogs.answers = {true};
        QString computed;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.click(editor, QStringLiteral("spdCalcolaCF"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("10/12/1985"));
            o.click(editor, QStringLiteral("spdCalcolaCF"));
            computed = o.in<QLineEdit>(editor, QStringLiteral("DBEdit13"))->text();
            o.click(editor, QStringLiteral("spdCalcolaCF"));
            o.type(editor, QStringLiteral("DBEdit13"), QStringLiteral("RSSMRA85T10H50MG"));
            o.click(editor, QStringLiteral("spdCalcolaCF"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(computed, QStringLiteral("RSSMRA85T10H501O"));
        QCOMPARE(
            o.dialogs.messages,
            QStringList(
                {QStringLiteral("Messaggio di avviso: Per calcolare il codice fiscale manca: data "
                                "di nascita."),
                 QStringLiteral(
                     "Messaggio di avviso: Codice fiscale calcolato: RSSMRA85T10H501O. Inserirlo?"),
                 QStringLiteral("Messaggio di avviso: Il codice fiscale inserito coincide con "
                                "quello calcolato."),
                 QStringLiteral(
                     "Messaggio di avviso: Il codice fiscale inserito è una variante per omocodia "
                     "di quello calcolato (RSSMRA85T10H501O): resta com'è.")}));
        QCOMPARE(o.contact(1).value(0, u"CFisc").toString(), QStringLiteral("RSSMRA85T10H50MG"));
    }

    void wrongDateIsRefusedAndNothingLost()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(0);
        bool stayed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit4"), QStringLiteral("Via Roma"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("31/02/1980"));
            o.click(editor, QStringLiteral("spdIndietro"));
            stayed = o.in<QLineEdit>(editor, QStringLiteral("DBEdit18"))->hasFocus() &&
                     o.in<QLineEdit>(editor, QStringLiteral("DBEdit4"))->text() == u"Via Roma";
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("28/02/1980"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QVERIFY(stayed);
        // The message names the field as the window captions it, and what was typed; then a
        // way out is offered, No (Enter) keeping what was typed.
        QCOMPARE(o.dialogs.messages.size(), 2);
        QCOMPARE(o.dialogs.messages[0],
                 QStringLiteral("Messaggio di errore: «Data di Nascita»: 31/02/1980 non è una "
                                "data valida (gg/mm/aaaa)."));
        QVERIFY(o.dialogs.messages[1].contains(QStringLiteral("Chiudere senza salvarle?")));
        QCOMPARE(o.dialogs.preselected.last(), Dialogs::Answer::No);
        QCOMPARE(o.contact(2).value(0, u"Indirizzo").toString(), QStringLiteral("Via Roma"));
        QCOMPARE(o.contact(2).value(0, u"DataNascita").toDateTime(), day(1980, 2, 28));

        // Yes to the way out closes the card and drops only what was typed since the save.
        bool closed = false;
        o.dialogs.answers = {true};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit4"), QStringLiteral("Via Milano"));
            o.type(editor, QStringLiteral("DBEdit18"), QStringLiteral("31/02/1981"));
            QTest::keyClick(editor, Qt::Key_Escape);
            closed = !editor->isVisible();
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QVERIFY(closed);
        QCOMPARE(o.contact(2).value(0, u"Indirizzo").toString(), QStringLiteral("Via Roma"));
        QCOMPARE(o.contact(2).value(0, u"DataNascita").toDateTime(), day(1980, 2, 28));
    }

    void officeMunicipalityFillsTheOfficeCap()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(0);
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(1);
            auto *comune = o.in<QComboBox>(editor, QStringLiteral("DBLookupComboBox7"));
            comune->setFocus();
            QTest::keyClicks(comune, QStringLiteral("Abano"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        const db::RowSet saved = o.contact(2);
        QCOMPARE(saved.value(0, u"UfficioCap").toString(), QStringLiteral("35031")); // Abano Terme
        QVERIFY(saved.value(0, u"Cap").isNull());
        QCOMPARE(saved.value(0, u"UfficioComune_id").toInt(), 1);
    }

    // A code typed first that is one of the town's codes stays when the town is chosen, however
    // many towns the list went through while the name was typed.
    void aTypedCodeOfTheTownStays()
    {
        Office o;
        const QString roma = o.archive
                                 .native(QStringLiteral("select ID from Comuni where Comune = "
                                                        "'Roma'"))
                                 .rows[0][0]
                                 .toString();
        o.archive.native(QStringLiteral("insert into Indirizzi (id_cap, Cap, Comune_ID) values "
                                        "(900001, '00135', ?)"),
                         {roma});
        const auto choose = [&](int row, qint64 id, const QString &cap) {
            o.contacts.TableCercaContatti.setPosition(row);
            o.dialogs.modalActions.append([&, cap](QWidget *editor) {
                o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(0);
                o.type(editor, QStringLiteral("DBEdit6"), cap);
                auto *comune = o.in<QComboBox>(editor, QStringLiteral("DBLookupComboBox5"));
                comune->setFocus();
                QTest::keyClicks(comune, QStringLiteral("Roma"));
                o.click(editor, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(&o.list, QStringLiteral("SpeedButton4"));
            return o.contact(id).value(0, u"Cap").toString();
        };
        QCOMPARE(choose(0, 2, QStringLiteral("00135")), QStringLiteral("00135"));
    }

    void paymentsOfTheContact()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        QStringList shownDescriptions;
        QString newest, proposedDate;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            auto *pages = o.in<QTabWidget>(editor, QStringLiteral("PageControl1"));
            pages->setCurrentIndex(2);
            newest = o.payments.TablePagamenti.asString(u"Descrizione");
            o.dialogs.modalActions.append([&](QWidget *payment) {
                proposedDate = o.in<QLineEdit>(payment, QStringLiteral("DBEdit1"))->text();
                o.type(payment, QStringLiteral("DBEdit3"), QStringLiteral("scritto a mano"));
                o.click(payment, QStringLiteral("spdIndietro")); // no amount yet
                o.type(payment, QStringLiteral("DBEdit2"), QStringLiteral("1.234,56"));
                o.dialogs.modalActions.append([&](QWidget *picker) {
                    o.click(picker, QStringLiteral("spdAvanti"));
                    return 1;
                });
                static_cast<TfrmPagamentiContatto *>(payment)->importaDescrizione();
                shownDescriptions << o.in<QLineEdit>(payment, QStringLiteral("DBEdit3"))->text();
                o.click(payment, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(editor, QStringLiteral("SpeedButton11"));
            editor->findChild<PagamentiPage *>()->ordina(QStringLiteral("Importo"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(newest, QStringLiteral("Saldo")); // newest first
        QCOMPARE(proposedDate, QStringLiteral("07/12/2026"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral("Messaggio di errore: Attenzione manca l'Importo!")});
        QCOMPARE(shownDescriptions, QStringList{QStringLiteral("Bonifico")});
        const db::RowSet paid = o.archive.run(
            QStringLiteral("select * from Pagamenti where Contatto_ID = 1 order by Importo"));
        QCOMPARE(paid.rows.size(), 3);
        QCOMPARE(paid.value(2, u"Importo").toDouble(), 1234.56);
        QCOMPARE(paid.value(2, u"Descrizione").toString(), QStringLiteral("Bonifico"));
        QCOMPARE(paid.value(2, u"data").toDateTime(), day(2026, 12, 7));
        QCOMPARE(o.payments.TablePagamenti.sort(), QStringLiteral("Importo"));
        QCOMPARE(
            o.payments.TablePagamenti.valueAt(0, o.payments.TablePagamenti.columnIndex(u"Importo"))
                .toDouble(),
            99.5);
    }

    // "Aggiungi" by mistake in the payments: left with nothing typed, the payment goes without
    // a question and no row is stored.
    void aNewPaymentLeftBlankIsDropped()
    {
        Office o;
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario, two payments
        bool closed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(2);
            o.dialogs.modalActions.append([&](QWidget *payment) {
                o.click(payment, QStringLiteral("spdIndietro"));
                closed = !payment->isVisible();
                return 0;
            });
            o.click(editor, QStringLiteral("SpeedButton11"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QVERIFY(closed);
        QVERIFY(o.dialogs.messages.isEmpty());
        QCOMPARE(o.archive.run(QStringLiteral("select * from Pagamenti where Contatto_ID = 1"))
                     .rows.size(),
                 2);
    }

    void paymentChecksInOrder()
    {
        Office o;
        o.contacts.TableContatti.setSql(QStringLiteral("select * from Contatti where id =1"));
        o.contacts.TableContatti.close();
        QVERIFY(o.contacts.TableContatti.open().ok());
        QVERIFY(o.payments.TablePagamenti.append().ok());
        o.payment.show();
        o.payment.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&o.payment));
        o.type(&o.payment, QStringLiteral("DBEdit2"), QStringLiteral("10"));
        o.payment.spdIndietroClick();
        QCOMPARE(o.dialogs.messages.last(),
                 QStringLiteral("Messaggio di errore: Attenzione manca la Data!"));
        o.type(&o.payment, QStringLiteral("DBEdit1"), QStringLiteral("06/12/2026"));
        o.payment.spdIndietroClick();
        QCOMPARE(o.dialogs.messages.last(),
                 QStringLiteral("Messaggio di errore: Attenzione manca la Descrizione!"));
        QVERIFY(o.in<QLineEdit>(&o.payment, QStringLiteral("DBEdit3"))->hasFocus());
        QVERIFY(o.payment.isVisible());
    }

    void amountsBeyondTheCentDoNotLockThePayment()
    {
        Office o;
        o.archive.native(
            QStringLiteral("update Pagamenti set Importo = 12.345 where Descrizione = 'Acconto'"));
        o.contacts.TableCercaContatti.setPosition(2); // Rossi Mario
        QStringList descriptions;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.in<QTabWidget>(editor, QStringLiteral("PageControl1"))->setCurrentIndex(2);
            o.payments.TablePagamenti.last(); // "Acconto", the older one
            o.dialogs.modalActions.append([&](QWidget *payment) {
                o.type(payment, QStringLiteral("DBEdit3"), QStringLiteral("Acconto di gennaio"));
                o.click(payment, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(editor, QStringLiteral("spdAvanti_Versamenti"));
            o.dialogs.modalActions.append([&](QWidget *payment) {
                o.type(payment, QStringLiteral("DBEdit2"), QStringLiteral("10,12345"));
                o.type(payment, QStringLiteral("DBEdit3"), QStringLiteral("Extra"));
                o.click(payment, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(editor, QStringLiteral("SpeedButton11"));
            o.dialogs.modalActions.append([&](QWidget *payment) {
                o.type(payment, QStringLiteral("DBEdit3"), QStringLiteral("Extra corretto"));
                o.click(payment, QStringLiteral("spdIndietro"));
                return 0;
            });
            o.click(editor, QStringLiteral("spdAvanti_Versamenti"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.list, QStringLiteral("SpeedButton4"));
        QCOMPARE(o.dialogs.messages, QStringList());
        const db::RowSet paid =
            o.archive.run(QStringLiteral("select Descrizione, Importo from Pagamenti order by Id"));
        QCOMPARE(paid.value(0, u"Descrizione").toString(), QStringLiteral("Acconto di gennaio"));
        QCOMPARE(paid.value(0, u"Importo").toDouble(),
                 12.345); // not rounded behind the user's back
        QCOMPARE(paid.value(2, u"Importo").toDouble(), 10.12);
        QCOMPARE(paid.value(2, u"Descrizione").toString(), QStringLiteral("Extra corretto"));
    }

    void escapeInThePickerKeepsTheDescription()
    {
        Office o;
        o.contacts.TableContatti.setSql(QStringLiteral("select * from Contatti where id =1"));
        o.contacts.TableContatti.close();
        QVERIFY(o.contacts.TableContatti.open().ok());
        QVERIFY(o.payments.TablePagamenti.append().ok());
        o.payment.show();
        o.type(&o.payment, QStringLiteral("DBEdit3"), QStringLiteral("Testo mio"));
        o.dialogs.modalActions.append([&](QWidget *picker) {
            QTest::keyClick(picker, Qt::Key_Escape);
            return 0;
        });
        o.picker.cancelled = false;
        o.payment.importaDescrizione();
        QCOMPARE(o.payments.TablePagamenti.asString(u"Descrizione"), QStringLiteral("Testo mio"));
    }

    void reloadKeepsFilterSortAndContact()
    {
        Office o;
        o.type(&o.list, QStringLiteral("Edit1"), QStringLiteral("r"));
        QVERIFY(
            o.contacts.TableCercaContatti.setSort(QStringLiteral("NominativoDocumenti DESC")).ok());
        o.contacts.TableCercaContatti.last(); // Romagnoli
        o.archive.native(
            QStringLiteral("insert into Contatti (NominativoDocumenti) values ('Rizzo Anna')"));
        o.click(&o.list, QStringLiteral("spdAggiorna"));
        QCOMPARE(o.listed(), QStringList({"Rossi Mario", "Romagnoli S.p.A.", "Rizzo Anna"}));
        QCOMPARE(o.contacts.TableCercaContatti.asString(u"NominativoDocumenti"),
                 QStringLiteral("Romagnoli S.p.A."));
    }
};

QTEST_MAIN(TestContactWindows)
#include "tst_contactwindows.moc"
