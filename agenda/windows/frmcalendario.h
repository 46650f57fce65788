#pragma once

#include "common/widgets/detailwindow.h"

#include <functional>
#include <memory>

class AgendaStore;
class DataSetComboBox;
class FieldBinder;
class FilterSuspension;
class QLineEdit;
namespace db {
class DataSet;
}

// What the appointment editor opens in windows of other subsystems. The program fills them; an
// empty one does nothing.
struct AppointmentEditorLinks
{
    std::function<void()> addType;     // the type list's add
    std::function<void()> openType;    // the type window on the type list's current row
    std::function<void()> addContact;  // the contact list's add
    std::function<void()> openContact; // the contact editor on the contact list's current row
};

// "Calendario": one appointment, the current row of TableCalendario. "Indietro" (and Escape,
// and the close box) saves first; it stays open without a date or with a reminder date after
// the appointment's, and nothing is stored then.
class TfrmCalendario : public DetailWindow
{
    Q_OBJECT

public:
    // The type and the contact of an appointment are chosen in `tipologie` (the appointment
    // types) and `contatti` (the contact list, read when the editor is first shown).
    TfrmCalendario(AgendaStore &store, db::DataSet &tipologie, db::DataSet &contatti,
                   AppointmentEditorLinks links = {}, QWidget *parent = nullptr);
    ~TfrmCalendario() override;

    // Opens the appointment with this key, whatever the agenda's search hides; says so and
    // opens nothing when it is no longer in the agenda.
    void apriAppuntamento(qint64 id);

    // The appointment on show is one "Aggiungi" just began (not written yet): left with
    // nothing typed, it is dropped, never stored blank.
    void setNew(bool isNew)
    {
        m_new = isNew;
        m_typed = false;
    }

    // The small buttons beside the lists.
    void modificaTipologia();
    void apriContatto();

protected:
    bool save() override;
    bool mayLeave() override;
    // A field that cannot be stored as typed: a date, a reminder after the appointment.
    bool offersDiscard() const override { return m_fieldRefused; }
    void discardChanges() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void contattoChosen();
    void typed()
    {
        m_typed = true;
        setModified(true);
    }

    AgendaStore &m_store;
    db::DataSet &m_tipologie;
    db::DataSet &m_contatti;
    AppointmentEditorLinks m_links;
    FieldBinder *m_binder;
    bool m_fieldRefused = false;
    QLineEdit *m_data;
    QLineEdit *m_avviso;
    DataSetComboBox *m_tipologia;
    DataSetComboBox *m_contatto;
    // The type and contact lists offer every row while the editor is open.
    std::unique_ptr<FilterSuspension> m_fullLists;
    bool m_new = false, m_typed = false;
};
