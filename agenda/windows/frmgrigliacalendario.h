#pragma once

#include "agenda/agendafilter.h"
#include "session/gridlayouts.h"

#include <QDialog>

#include <functional>

class AgendaStore;
class DataGrid;
class DataSetModel;
class QCalendarWidget;
class QLabel;
class QLineEdit;
class TfrmCalendario;
enum class ReportKind;

// "Calendario": the appointments not archived, newest first, narrowed by type, contact, notes,
// a range of dates or one day of the month calendar, exported or printed as listed. Criteria,
// the chosen day, the filter and the sort stay from one opening to the next.
class TfrmGrigliaCalendario : public QDialog
{
    Q_OBJECT

public:
    // A new appointment takes the defaults `personalizzazioni` sets for Calendario.
    TfrmGrigliaCalendario(AgendaStore &store, GridLayouts layouts, db::DataSet &personalizzazioni,
                          TfrmCalendario &editor, QWidget *parent = nullptr);

    DataGrid *grid() const { return m_grid; }
    // The grid's columns, whose layout is kept as "frmGrigliaCalendario".
    DataSetModel &gridModel() const { return *m_model; }
    QCalendarWidget *calendar() const { return m_calendar; }
    bool dayMode() const { return m_dayMode; }

    void cerca();
    void reset();
    // A day chosen in the month calendar: that day alone, until "reset".
    void giornoScelto();
    void ordina(const QString &field);
    void Aggiungi();
    void Avanti();
    void Elimina();
    void Ricarica();
    // "Esporta Calendario": the listed appointments, in their order, to an iCalendar file.
    void esportaCalendario();
    // "Stampa": the listed appointments, in their order, through the report runner; nothing
    // but a message when none is listed.
    void stampa();
    // The report hand-off of the main window.
    void setPrint(std::function<void(ReportKind)> print) { m_print = std::move(print); }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setDayMode(bool on);
    QLineEdit *searchBox(QWidget *parent, const QString &name);
    QLineEdit *dateBox(QWidget *parent, const QString &name);
    AgendaSearch search() const;

    AgendaStore &m_store;
    db::DataSet &m_personalizzazioni;
    TfrmCalendario &m_editor;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QLineEdit *m_tipologia;
    QLineEdit *m_contatto;
    QLineEdit *m_note;
    QLineEdit *m_daData;
    QLineEdit *m_aData;
    QCalendarWidget *m_calendar;
    QLabel *m_dayLabel;
    bool m_dayMode = false;
    std::function<void(ReportKind)> m_print;
};
