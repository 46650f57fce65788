#include "agenda/windows/frmgrigliacalendario.h"

#include "agenda/agendaexport.h"
#include "agenda/agendastore.h"
#include "agenda/windows/frmcalendario.h"
#include "common/datasetmodel.h"
#include "common/dates.h"
#include "common/dialogs.h"
#include "common/gridsort.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/gridcommands.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "db/core/datetimes.h"
#include "session/reporthandoff.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TfrmGrigliaCalendario::TfrmGrigliaCalendario(AgendaStore &store, GridLayouts layouts,
                                             db::DataSet &personalizzazioni, TfrmCalendario &editor,
                                             QWidget *parent)
    : QDialog(parent, Qt::Window), m_store(store), m_personalizzazioni(personalizzazioni),
      m_editor(editor)
{
    setObjectName(QStringLiteral("frmGrigliaCalendario"));
    setWindowTitle(QStringLiteral("Calendario"));
    setHelpContext(this, 21600);
    setWindowState(Qt::WindowMaximized);
    auto *layout = new QVBoxLayout(this);

    auto *toolbar = new QHBoxLayout;
    QToolButton *aiuto = toolButton(this, QStringLiteral("SpeedButton1"), QStringLiteral("Aiuto"),
                                    QString(), QStyle::SP_DialogHelpButton);
    QToolButton *esporta =
        toolButton(this, QStringLiteral("SpeedButton4"), QStringLiteral("Esporta Calendario"),
                   QStringLiteral("Esporta i dati in formato ICal"), QStyle::SP_DialogSaveButton);
    QToolButton *ricarica =
        toolButton(this, QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"),
                   QStringLiteral("Aggiorna l'elenco"), QStyle::SP_BrowserReload);
    QToolButton *indietro = toolButton(this, QStringLiteral("SpeedButton2"),
                                       QStringLiteral("Indietro"), QString(), QStyle::SP_ArrowBack);
    QToolButton *elimina =
        toolButton(this, QStringLiteral("spdElimina"), QStringLiteral("Elimina"),
                   QStringLiteral("Elimina il record corrente "), QStyle::SP_TrashIcon);
    QToolButton *aggiungi =
        toolButton(this, QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"),
                   QStringLiteral("Inserisce un nuovo Record"), QStyle::SP_FileIcon);
    QToolButton *avanti = toolButton(this, QStringLiteral("SpeedButton3"), QStringLiteral("Avanti"),
                                     QString(), QStyle::SP_ArrowForward);
    QToolButton *stampa =
        toolButton(this, QStringLiteral("spdStampa"), QStringLiteral("Stampa"),
                   QStringLiteral("Stampa gli appuntamenti elencati, nell'ordine dell'elenco"),
                   QStyle::SP_FileDialogDetailedView);
    for (QToolButton *b : {indietro, ricarica, aggiungi, elimina, avanti, esporta, stampa})
        toolbar->addWidget(b);
    toolbar->addStretch();
    toolbar->addWidget(aiuto);
    layout->addLayout(toolbar);

    m_model = new DataSetModel(m_store.TableCalendario, this);
    m_model->setDesign({
        GridColumn{QStringLiteral("Data"), 160, QStringLiteral("Data")}, // day and time, whole
        GridColumn{QStringLiteral("TipologiaCalendario"), 160, QStringLiteral("Tipologia")},
        GridColumn{QStringLiteral("Cliente"), 240, QStringLiteral("Contatto")},
        GridColumn{QStringLiteral("Note"), 360, QStringLiteral("Note")},
    });
    m_grid = new DataGrid(m_model, true, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    attachGridCommands(m_grid, m_model, layouts.griglie, QStringLiteral("frmGrigliaCalendario"),
                       QStringLiteral("Reset Griglia"), layouts.computerName);
    layout->addWidget(m_grid, 1);

    auto *panel = new QGroupBox(QStringLiteral("Ricerca per"), this);
    auto *boxes = new QGridLayout(panel);
    const auto labelled = [&](const QString &label, QWidget *field, int column) {
        boxes->addWidget(new QLabel(label, panel), 0, column);
        boxes->addWidget(field, 1, column);
    };
    m_contatto = searchBox(panel, QStringLiteral("Edit4"));
    labelled(QStringLiteral("Contatto"), m_contatto, 0);
    m_tipologia = searchBox(panel, QStringLiteral("Edit3"));
    labelled(QStringLiteral("Tipologia"), m_tipologia, 1);
    m_daData = dateBox(panel, QStringLiteral("maskDaData"));
    labelled(QStringLiteral("Dalla Data"), m_daData, 2);
    m_aData = dateBox(panel, QStringLiteral("maskAData"));
    labelled(QStringLiteral("alla Data"), m_aData, 3);
    m_note = searchBox(panel, QStringLiteral("Edit5"));
    labelled(QStringLiteral("Note"), m_note, 4);
    auto *buttons = new QHBoxLayout;
    auto *resetButton = new QPushButton(QStringLiteral("reset"), panel);
    resetButton->setObjectName(QStringLiteral("BitBtn3"));
    auto *cercaButton = new QPushButton(QStringLiteral("cerca"), panel);
    cercaButton->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *b : {resetButton, cercaButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    boxes->addLayout(buttons, 2, 0, 1, 5);
    m_calendar = new QCalendarWidget(panel);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setSelectedDate(db::clock::today());
    m_dayLabel = new QLabel(QStringLiteral("Giorno"), panel);
    m_dayLabel->setObjectName(QStringLiteral("lblGiorno"));
    boxes->addWidget(m_dayLabel, 0, 5);
    boxes->addWidget(m_calendar, 1, 5, 3, 1);
    layout->addWidget(panel);
    resize(1000, 700);

    InputConventions::attach(this, InputConventions::Kind::List);
    InputConventions::connectHelpButton(aiuto);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmGrigliaCalendario::Avanti);
    connect(m_grid, &DataGrid::titleClicked, this, &TfrmGrigliaCalendario::ordina);
    connect(m_calendar, &QCalendarWidget::clicked, this, &TfrmGrigliaCalendario::giornoScelto);
    connect(resetButton, &QPushButton::clicked, this, &TfrmGrigliaCalendario::reset);
    connect(cercaButton, &QPushButton::clicked, this, &TfrmGrigliaCalendario::cerca);
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(ricarica, &QToolButton::clicked, this, &TfrmGrigliaCalendario::Ricarica);
    connect(aggiungi, &QToolButton::clicked, this, &TfrmGrigliaCalendario::Aggiungi);
    connect(elimina, &QToolButton::clicked, this, &TfrmGrigliaCalendario::Elimina);
    connect(avanti, &QToolButton::clicked, this, &TfrmGrigliaCalendario::Avanti);
    connect(esporta, &QToolButton::clicked, this, &TfrmGrigliaCalendario::esportaCalendario);
    connect(stampa, &QToolButton::clicked, this, &TfrmGrigliaCalendario::stampa);
}

QLineEdit *TfrmGrigliaCalendario::searchBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->installEventFilter(this);
    return box;
}

QLineEdit *TfrmGrigliaCalendario::dateBox(QWidget *parent, const QString &name)
{
    QLineEdit *box = searchBox(parent, name);
    box->setInputMask(QStringLiteral("99/99/0000;_"));
    box->setMaximumWidth(110);
    return box;
}

bool TfrmGrigliaCalendario::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *box = qobject_cast<QLineEdit *>(watched);
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (box && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            cerca();
            return true;
        }
        if (box && key == Qt::Key_Up) {
            focusPreviousChild();
            return true;
        }
        if ((box == m_daData || box == m_aData) && key == Qt::Key_Escape) {
            box->clear();
            m_contatto->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmGrigliaCalendario::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The agenda is read the first time it is shown, not at start-up.
    (void)m_store.open();
}

AgendaSearch TfrmGrigliaCalendario::search() const
{
    AgendaSearch s;
    s.tipologia = m_tipologia->text();
    s.contatto = m_contatto->text();
    s.note = m_note->text();
    s.daData = m_daData->text();
    s.aData = m_aData->text();
    s.dayMode = m_dayMode;
    s.day = m_calendar->selectedDate();
    return s;
}

void TfrmGrigliaCalendario::cerca()
{
    if (db::Status filtered = m_store.search(search()); !filtered)
        dialogs().error(filtered.message());
}

void TfrmGrigliaCalendario::giornoScelto()
{
    setDayMode(true);
    cerca();
}

// The day clicked is the search while it is shown above the calendar; the range boxes say they
// do not count meanwhile.
void TfrmGrigliaCalendario::setDayMode(bool on)
{
    m_dayMode = on;
    QFont font = m_dayLabel->font();
    font.setBold(on);
    m_dayLabel->setFont(font);
    m_dayLabel->setText(on ? QStringLiteral("Solo il giorno %1 (\u00ABreset\u00BB per tornare)")
                                 .arg(ScriviDataItaliana(m_calendar->selectedDate()))
                           : QStringLiteral("Giorno"));
    const QString hint = on ? QStringLiteral("Non conta finché si cerca il giorno scelto nel "
                                             "calendario: \u00ABreset\u00BB torna all'intervallo")
                            : QString();
    for (QLineEdit *range : {m_daData, m_aData}) {
        range->setToolTip(hint);
        QPalette palette = range->palette();
        palette.setColor(QPalette::Text, on ? palette.color(QPalette::Disabled, QPalette::Text)
                                            : QApplication::palette().color(QPalette::Text));
        range->setPalette(palette);
    }
}

void TfrmGrigliaCalendario::reset()
{
    for (QLineEdit *box : {m_tipologia, m_contatto, m_note, m_daData, m_aData})
        box->clear();
    m_calendar->setSelectedDate(db::clock::today());
    setDayMode(false);
    (void)m_store.search(AgendaSearch{});
}

void TfrmGrigliaCalendario::ordina(const QString &field)
{
    db::DataSet &ds = m_store.TableCalendario;
    if (db::Status sorted = ds.setSort(toggledSort(ds.sort(), field)); !sorted)
        dialogs().error(sorted.message());
}

void TfrmGrigliaCalendario::Aggiungi()
{
    if (db::Status added = m_store.append(m_calendar->selectedDate(), m_personalizzazioni);
        !added) {
        dialogs().error(added.message());
        return;
    }
    m_editor.setModified(true);
    m_editor.setNew(true);
    dialogs().showModal(&m_editor);
    m_editor.setNew(false);
    // The new appointment takes its place in the list's date order, not the end of it.
    db::DataSet &agenda = m_store.TableCalendario;
    if (const qint64 id = agenda.asInteger(u"Id");
        id > 0 && agenda.state() == db::DataSet::State::Browse)
        (void)agenda.refreshRow(u"Id", id);
}

void TfrmGrigliaCalendario::Avanti()
{
    if (m_store.TableCalendario.isEmpty())
        return;
    dialogs().showModal(&m_editor);
    (void)m_store.reload();
}

void TfrmGrigliaCalendario::Elimina()
{
    db::DataSet &agenda = m_store.TableCalendario;
    if (agenda.isEmpty())
        return;
    // The rows selected, or the current one; one question for all of them, Enter keeps them.
    QList<qint64> ids;
    const db::DataSet::Bookmark current = agenda.bookmark();
    for (db::DataSet::Bookmark b : m_grid->selectedBookmarks()) {
        if (agenda.gotoBookmark(b))
            ids.append(agenda.asInteger(u"Id"));
    }
    (void)agenda.gotoBookmark(current);
    // One row selected is the current one.
    if (ids.size() <= 1) {
        if (dialogs().confirmDefaultNo(
                QStringLiteral("Sei sicuro di voler eliminare la data del Calendario ?")))
            (void)m_store.remove();
        return;
    }
    if (!dialogs().confirmDefaultNo(
            QStringLiteral("Eliminare i %1 appuntamenti selezionati?").arg(ids.size())))
        return;
    const int removed = m_store.remove(ids);
    if (removed < ids.size())
        dialogs().warning(
            QStringLiteral("Eliminati %1 appuntamenti su %2.").arg(removed).arg(ids.size()));
}

void TfrmGrigliaCalendario::esportaCalendario()
{
    db::DataSet &agenda = m_store.TableCalendario;
    if (!agenda.isOpen())
        return;
    db::Result<agenda::IcalExport> calendar = agenda::exportAgenda(agenda);
    if (!calendar) {
        dialogs().error(calendar.message());
        return;
    }
    const QString chosen = dialogs().chooseSaveFile(
        QStringLiteral("Esporta Calendario"), QStringLiteral("Files Ical (*.ics)"),
        QDir(documentsFolder()).filePath(QStringLiteral("Calendario.ics")));
    if (chosen.isEmpty())
        return;
    if (db::Status saved = agenda::saveCalendar(agenda::icalFileName(chosen), calendar->text);
        !saved) {
        dialogs().error(saved.message());
        return;
    }
    dialogs().information(agenda::exportMessage(*calendar), QStringLiteral("Esporta Calendario"));
}

void TfrmGrigliaCalendario::stampa()
{
    const db::DataSet &agenda = m_store.TableCalendario;
    if (!agenda.isOpen() || agenda.isEmpty()) {
        dialogs().warning(QStringLiteral("Nessun appuntamento elencato: non c'è niente da "
                                         "stampare. Cambiare la ricerca o premere «reset»."));
        return;
    }
    if (m_print)
        m_print(ReportKind::Appointments);
}

void TfrmGrigliaCalendario::Ricarica()
{
    if (db::Status reread = m_store.TableCalendario.requery(); !reread)
        dialogs().error(reread.message());
}
