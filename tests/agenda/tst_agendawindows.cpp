// The agenda grid and the appointment editor, driven through their real controls.

#include "agenda/agendastore.h"
#include "agenda/windows/frmcalendario.h"
#include "agenda/windows/frmgrigliacalendario.h"
#include "common/widgets/datagrid.h"
#include "contacts/contactstore.h"
#include "db/core/datetimes.h"
#include "options/optionsstore.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QLabel>

#include <QCalendarWidget>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return db::naiveDateTime(QDate(y, m, d), QTime(h, min));
}

// An office with three contacts and five appointments, the agenda grid shown.
struct Office
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    Tform_DB db;
    ReferenceStore reference{db.shared()};
    OptionsStore options{db.shared()};
    AgendaStore agenda{db.shared()};
    ContactStore contacts{db.shared(), agenda};
    QStringList opened; // what the editor asked the other windows to open
    TfrmCalendario editor{
        agenda, reference.TableTipologiaCalendario, contacts.TableCercaContatti,
        AppointmentEditorLinks{
            [this] { opened << QStringLiteral("nuova tipologia"); },
            [this] {
                opened << QStringLiteral("tipologia ") +
                              reference.TableTipologiaCalendario.asString(u"Descrizione");
            },
            [this] { opened << QStringLiteral("nuovo contatto"); },
            [this] {
                opened << QStringLiteral("contatto ") +
                              contacts.TableCercaContatti.asString(u"NominativoDocumenti");
            }}};
    TfrmGrigliaCalendario grid{agenda, db.gridLayouts(), options.TablePersonalizzazioni, editor};

    Office()
    {
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, Cognome, Nome, NominativoDocumenti, NominativoVisualizzato) "
            "values (?, ?, ?, ?, ?)");
        archive.native(contact, {1, "Rossi", "Mario", "Rossi Mario", "Rossi Mario"});
        archive.native(contact, {2, "D'Amico", "Lucia", "D'Amico Lucia", "D'Amico Lucia"});
        archive.native(contact, {3, "Verdi", "Anna", "Verdi Anna", "Verdi Anna"});
        for (const char *type : {"Visita", "Telefonata"})
            archive.native(
                QStringLiteral("insert into TipologiaCalendario (Descrizione) values (?)"), {type});
        const QString appointment = QStringLiteral("insert into Calendario (Id, Data, Cliente_ID, "
                                                   "Cliente, TipologiaCalendario, Note, Storico) "
                                                   "values (?, ?, ?, ?, ?, ?, ?)");
        archive.native(appointment,
                       {1, at(2024, 2, 29, 9), 1, "Rossi Mario", "Visita", "bisestile", false});
        archive.native(appointment, {2, at(2024, 12, 31, 23, 59), 2, "D'Amico Lucia", "Telefonata",
                                     "ultimo", false});
        archive.native(appointment, {3, at(2024, 3, 1), 3, "Verdi Anna", "Visita", "marzo", false});
        archive.native(appointment, {4, at(2025, 1, 1, 0, 30), 1, "Rossi Mario", "Sparita",
                                     "nuovo anno", false});
        archive.native(appointment,
                       {5, at(2024, 6, 1), 1, "Rossi Mario", "Visita", "archiviato", true});
        if (!db.Connessione().open(archive.path()) || !db.reopenSharedDataSets())
            qFatal("cannot open the office archive");
        grid.show();
    }
    template <typename T = QWidget> static T *in(QWidget *window, const QString &name)
    {
        return drive::in<T>(window, name);
    }
    static void type(QWidget *window, const QString &name, const QString &text)
    {
        drive::type(window, name, text);
    }
    static void click(QWidget *window, const QString &name) { drive::click(window, name); }
    QStringList notes()
    {
        QStringList listed;
        db::DataSet &ds = agenda.TableCalendario;
        for (int r = 0; r < ds.recordCount(); ++r)
            listed << ds.valueAt(r, ds.columnIndex(u"Note")).toString();
        return listed;
    }
    db::RowSet stored(int id)
    {
        return archive.native(QStringLiteral("select * from Calendario where Id = ?"), {id});
    }
    void openOn(const QString &note)
    {
        (void)agenda.TableCalendario.locate(u"Note", note);
        grid.Avanti();
    }
};

} // namespace

class TestAgendaWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::clock::setFixedNow(at(2024, 2, 29, 8)); }
    void cleanup() { db::clock::useSystemTime(); }

    void listsTheAppointmentsNotArchivedNewestFirst()
    {
        Office o;
        QCOMPARE(o.notes(), QStringList({"nuovo anno", "ultimo", "marzo", "bisestile"}));
        o.grid.ordina(QStringLiteral("Data"));
        QCOMPARE(o.notes().first(), QStringLiteral("bisestile"));
        o.grid.ordina(QStringLiteral("Data"));
        QCOMPARE(o.notes().first(), QStringLiteral("nuovo anno"));
    }

    void searchesByTextDayAndRange()
    {
        Office o;
        o.type(&o.grid, QStringLiteral("Edit4"), QStringLiteral("d'am"));
        QTest::keyClick(o.in(&o.grid, QStringLiteral("Edit4")), Qt::Key_Return);
        QCOMPARE(o.notes(), QStringList{"ultimo"});
        o.click(&o.grid, QStringLiteral("BitBtn3")); // reset
        QCOMPARE(o.notes().size(), 4);
        // To 31/12/2024 takes that whole day; 31/02 is no date and adds nothing.
        o.type(&o.grid, QStringLiteral("maskAData"), QStringLiteral("31122024"));
        o.type(&o.grid, QStringLiteral("maskDaData"), QStringLiteral("31022024"));
        o.click(&o.grid, QStringLiteral("BitBtn2"));
        QCOMPARE(o.notes(), QStringList({"ultimo", "marzo", "bisestile"}));
        // A clicked day rules until reset, whatever the range says.
        o.grid.calendar()->setSelectedDate(QDate(2024, 2, 29));
        o.grid.giornoScelto();
        QCOMPARE(o.notes(), QStringList{"bisestile"});
        o.grid.calendar()->setSelectedDate(QDate(2024, 12, 31));
        o.grid.giornoScelto();
        QCOMPARE(o.notes(), QStringList{"ultimo"});
        // ... and the window says so: the day above the calendar, the range boxes marked.
        QCOMPARE(o.in<QLabel>(&o.grid, QStringLiteral("lblGiorno"))->text(),
                 QStringLiteral("Solo il giorno 31/12/2024 («reset» per tornare)"));
        QVERIFY(!o.in<QLineEdit>(&o.grid, QStringLiteral("maskDaData"))->toolTip().isEmpty());
        o.type(&o.grid, QStringLiteral("maskDaData"), QStringLiteral("01012024"));
        QTest::keyClick(o.in(&o.grid, QStringLiteral("maskDaData")), Qt::Key_Return);
        QCOMPARE(o.notes(), QStringList{"ultimo"});
        o.grid.reset();
        QVERIFY(!o.grid.dayMode());
        QCOMPARE(o.in<QLabel>(&o.grid, QStringLiteral("lblGiorno"))->text(),
                 QStringLiteral("Giorno"));
        QCOMPARE(o.grid.calendar()->selectedDate(), QDate(2024, 2, 29));
    }

    void reminderDateAfterTheAppointmentStoresNothing()
    {
        Office o;
        bool stayed = false;
        QVariant meanwhile;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit3"), QStringLiteral("spostato"));
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("01/03/2024"));
            o.click(editor, QStringLiteral("spdIndietro"));
            stayed = editor->isVisible();
            meanwhile = o.stored(1).value(0, u"Note");
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("29/02/2024")); // the same day
            QTest::keyClick(editor, Qt::Key_Escape); // as "Indietro": saves
            return 0;
        });
        o.openOn(QStringLiteral("bisestile"));
        QVERIFY(stayed);
        QCOMPARE(meanwhile.toString(), QStringLiteral("bisestile"));
        // The refusal, then the way out, which No (the default) declines.
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY(o.dialogs.messages[0].startsWith(
            QStringLiteral("Messaggio di errore: La data di avviso")));
        QVERIFY(o.dialogs.messages[1].contains(QStringLiteral("Chiudere senza salvarle?")));
        QCOMPARE(o.stored(1).value(0, u"DataAvviso").toDateTime(), at(2024, 2, 29));
        QCOMPARE(o.stored(1).value(0, u"Note").toString(), QStringLiteral("spostato"));

        // Cleared, the reminder date is no reminder at all.
        o.dialogs.messages.clear();
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit2"), QString());
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("spostato"));
        QVERIFY(o.dialogs.messages.isEmpty());
        QVERIFY(o.stored(1).value(0, u"DataAvviso").isNull());
    }

    void theContactIsChosenWithItsNameAndClearedWithDelete()
    {
        Office o;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            auto *contatto = o.in<QComboBox>(editor, QStringLiteral("DBLookupComboBox2"));
            Q_EMIT contatto->activated(contatto->findText(QStringLiteral("D'Amico Lucia")));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("marzo"));
        QCOMPARE(o.stored(3).value(0, u"Cliente_ID").toInt(), 2);
        QCOMPARE(o.stored(3).value(0, u"Cliente").toString(), QStringLiteral("D'Amico Lucia"));
        o.dialogs.modalActions.append([&](QWidget *editor) {
            auto *contatto = o.in<QComboBox>(editor, QStringLiteral("DBLookupComboBox2"));
            contatto->setFocus();
            QTest::keyClick(contatto, Qt::Key_Delete);
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("marzo"));
        QVERIFY(o.stored(3).value(0, u"Cliente_ID").isNull());
        QVERIFY(o.stored(3).value(0, u"Cliente").isNull());
    }

    void leftUntouchedNothingIsStored()
    {
        Office o;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            // Had the editor stored its row, it would have met this change and said so.
            o.archive.native(QStringLiteral("update Calendario set Note = 'altrove' where Id = 3"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("marzo"));
        QVERIFY(o.dialogs.messages.isEmpty());
        QCOMPARE(o.stored(3).value(0, u"Note").toString(), QStringLiteral("altrove"));
    }

    // "Aggiungi" by mistake: left with nothing typed, no appointment for the day is stored,
    // and nothing is asked.
    void aNewAppointmentLeftBlankIsDropped()
    {
        Office o;
        const int before = o.agenda.TableCalendario.recordCount();
        const QVariant stored =
            o.archive.native(QStringLiteral("select count(*) from Calendario")).rows[0][0];
        bool closed = false;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.click(editor, QStringLiteral("spdIndietro"));
            closed = !editor->isVisible();
            return 0;
        });
        o.click(&o.grid, QStringLiteral("spdInserisci"));
        QVERIFY(closed);
        QVERIFY(o.dialogs.messages.isEmpty());
        QCOMPARE(o.archive.native(QStringLiteral("select count(*) from Calendario")).rows[0][0],
                 stored);
        QCOMPARE(o.agenda.TableCalendario.recordCount(), before);
    }

    void addingClearsTheSearchAndStartsOnTheChosenDay()
    {
        Office o;
        o.type(&o.grid, QStringLiteral("Edit4"), QStringLiteral("Verdi"));
        o.grid.cerca();
        o.grid.calendar()->setSelectedDate(QDate(2024, 4, 15));
        QString shownDate;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            shownDate = o.in<QLineEdit>(editor, QStringLiteral("DBEdit1"))->text();
            o.type(editor, QStringLiteral("DBEdit3"), QStringLiteral("nuovo"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.click(&o.grid, QStringLiteral("spdInserisci"));
        QCOMPARE(shownDate, QStringLiteral("15/04/2024"));
        QCOMPARE(o.agenda.TableCalendario.filter(), QString());
        const db::RowSet added =
            o.archive.native(QStringLiteral("select * from Calendario where Note = 'nuovo'"));
        QCOMPARE(added.rows.size(), 1);
        QCOMPARE(added.value(0, u"Data").toDateTime(), at(2024, 4, 15));
        QCOMPARE(added.value(0, u"Storico").toBool(), false);
        // In the list's date order at once, without "Ricarica", and the current row.
        db::DataSet &ds = o.agenda.TableCalendario;
        QList<QDateTime> dates;
        for (int r = 0; r < ds.recordCount(); ++r) {
            const QVariant when = ds.valueAt(r, ds.columnIndex(u"Data"));
            if (when.isValid())
                dates << when.toDateTime();
        }
        QVERIFY(dates.contains(at(2024, 4, 15)));
        QVERIFY2(std::is_sorted(dates.rbegin(), dates.rend()), qPrintable(o.notes().join(u',')));
        QCOMPARE(ds.asString(u"Note"), QStringLiteral("nuovo"));
    }

    void deletingLandsOnTheRowAbove()
    {
        Office o;
        o.dialogs.answers = {true, true};
        (void)o.agenda.TableCalendario.locate(u"Note", QStringLiteral("marzo"));
        o.click(&o.grid, QStringLiteral("spdElimina"));
        QCOMPARE(o.agenda.TableCalendario.asString(u"Note"), QStringLiteral("ultimo"));
        o.agenda.TableCalendario.first();
        o.click(&o.grid, QStringLiteral("spdElimina"));
        QCOMPARE(o.agenda.TableCalendario.asString(u"Note"), QStringLiteral("ultimo"));
        QCOMPARE(o.notes(), QStringList({"ultimo", "bisestile"}));
        QCOMPARE(
            o.dialogs.messages.first(),
            QStringLiteral(
                "Messaggio di avviso: Sei sicuro di voler eliminare la data del Calendario ?"));
    }

    // Several rows selected: one question with their number, Enter keeps them, and every one
    // of them goes.
    void selectedAppointmentsAreDeletedTogether()
    {
        Office o;
        const QStringList before = o.notes();
        QVERIFY(before.size() >= 3);
        o.grid.grid()->selectRow(0, true);
        o.grid.grid()->selectRow(1, true);
        o.click(&o.grid, QStringLiteral("spdElimina"));
        QCOMPARE(o.dialogs.messages,
                 QStringList{QStringLiteral(
                     "Messaggio di avviso: Eliminare i 2 appuntamenti selezionati?")});
        QCOMPARE(o.dialogs.preselected.value(0), Dialogs::Answer::No);
        QCOMPARE(o.notes(), before);
        o.dialogs.answers = {true};
        o.click(&o.grid, QStringLiteral("spdElimina"));
        QCOMPARE(o.notes(), before.mid(2));
    }

    // The appointment's date takes its time as typed ("11/12/2026 11:30"), and a time shown
    // can be edited; letters are still refused as they are typed.
    void anAppointmentKeepsItsTime()
    {
        Office o;
        QString shown;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit2"), QString()); // no reminder
            QLineEdit *data = o.in<QLineEdit>(editor, QStringLiteral("DBEdit1"));
            data->selectAll();
            QTest::keyClicks(data, QStringLiteral("11/12/2026 11:3x0"));
            shown = data->text();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("bisestile"));
        QCOMPARE(shown, QStringLiteral("11/12/2026 11:30"));
        QCOMPARE(o.stored(1).value(0, u"Data").toDateTime(), at(2026, 12, 11, 11, 30));
        // Shown again with its time, which can be typed over.
        o.dialogs.modalActions.append([&](QWidget *editor) {
            shown = o.in<QLineEdit>(editor, QStringLiteral("DBEdit1"))->text();
            o.type(editor, QStringLiteral("DBEdit1"), QStringLiteral("11/12/2026 11.35"));
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.openOn(QStringLiteral("bisestile"));
        QVERIFY2(shown.startsWith(QStringLiteral("11/12/2026 11:30")), qPrintable(shown));
        QCOMPARE(o.stored(1).value(0, u"Data").toDateTime(), at(2026, 12, 11, 11, 35));
    }

    // A reminder after the appointment blocks the save, not the way out: Yes closes without
    // what was typed.
    void aRefusedAppointmentCanBeLeftUnsaved()
    {
        Office o;
        const QDateTime before = o.stored(1).value(0, u"Data").toDateTime();
        const int listed = o.agenda.TableCalendario.recordCount();
        bool closed = false;
        o.dialogs.answers = {true};
        o.dialogs.modalActions.append([&](QWidget *editor) {
            o.type(editor, QStringLiteral("DBEdit3"), QStringLiteral("cambiato"));
            o.type(editor, QStringLiteral("DBEdit2"), QStringLiteral("01/03/2030"));
            QTest::keyClick(editor, Qt::Key_Escape);
            closed = !editor->isVisible();
            return 0;
        });
        o.openOn(QStringLiteral("bisestile"));
        QVERIFY(closed);
        QCOMPARE(o.stored(1).value(0, u"Note").toString(), QStringLiteral("bisestile"));
        QCOMPARE(o.stored(1).value(0, u"Data").toDateTime(), before);
        QCOMPARE(o.agenda.TableCalendario.recordCount(), listed);
    }

    // A day with its time fits its column whole.
    void datesAndTimesAreNotCut()
    {
        Office o;
        QTableView *grid = o.grid.grid();
        const int needed =
            grid->fontMetrics().horizontalAdvance(QStringLiteral("31/12/2024 23:59:59"));
        // The cell's own margins and the grid line take some pixels of the column too.
        QVERIFY2(grid->columnWidth(0) >= needed + 12,
                 qPrintable(QStringLiteral("%1 <= %2").arg(grid->columnWidth(0)).arg(needed)));
    }

    void theListedAppointmentsAreExported()
    {
        Office o;
        o.type(&o.grid, QStringLiteral("Edit4"), QStringLiteral("Rossi"));
        o.grid.cerca();
        QTemporaryDir folder;
        o.dialogs.files = {folder.filePath(QStringLiteral("agenda"))};
        o.click(&o.grid, QStringLiteral("SpeedButton4"));
        QFile file(folder.filePath(QStringLiteral("agenda.ics")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QCOMPARE(text.count("BEGIN:VEVENT"), 2);
        QVERIFY(text.contains("bisestile"));
        QVERIFY(!text.contains("marzo"));
        QCOMPARE(o.dialogs.messages, QStringList{"Esporta Calendario: Esportati 2 appuntamenti."});
        QCOMPARE(o.dialogs.kinds, QList<MessageKind>{MessageKind::Information});
    }

    void theRightRowOrNothingIsOpened()
    {
        Office o;
        // A type that no longer exists, a contact no longer in the archive: nothing else opens.
        o.archive.native(QStringLiteral("delete from Contatti where ID = 3"));
        (void)o.contacts.TableCercaContatti.requery();
        o.dialogs.modalActions.append([&](QWidget *) {
            o.editor.modificaTipologia();
            return 0;
        });
        o.openOn(QStringLiteral("nuovo anno"));
        o.dialogs.modalActions.append([&](QWidget *) {
            o.editor.apriContatto();
            o.editor.modificaTipologia();
            return 0;
        });
        o.openOn(QStringLiteral("marzo"));
        QCOMPARE(o.opened, QStringList{"tipologia Visita"});
        QCOMPARE(o.dialogs.messages.size(), 2);

        // The reminder list opens its appointment even when the agenda's search hides it.
        o.type(&o.grid, QStringLiteral("Edit4"), QStringLiteral("Verdi"));
        o.grid.cerca();
        QString shownNote;
        o.dialogs.modalActions.append([&](QWidget *editor) {
            shownNote = o.in<QLineEdit>(editor, QStringLiteral("DBEdit3"))->text();
            o.click(editor, QStringLiteral("spdIndietro"));
            return 0;
        });
        o.editor.apriAppuntamento(1);
        QCOMPARE(shownNote, QStringLiteral("bisestile"));
        QCOMPARE(o.notes(), QStringList{"marzo"}); // the search is back
        o.dialogs.messages.clear();
        o.editor.apriAppuntamento(5); // archived
        QCOMPARE(o.dialogs.messages,
                 QStringList{"Messaggio di avviso: L'appuntamento non è più in agenda."});
    }
};

QTEST_MAIN(TestAgendaWindows)
#include "tst_agendawindows.moc"
