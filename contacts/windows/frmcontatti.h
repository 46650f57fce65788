#pragma once

#include "contacts/windows/frmimportafoglio.h"

#include "session/gridlayouts.h"

#include <QDialog>

#include <functional>

class AgendaStore;
class ContactStore;
class DataGrid;
class DataSetComboBox;
class DataSetModel;
class OptionsStore;
class PaymentStore;
class ReferenceStore;
class QLineEdit;
class TfrmContattiDett;
class WorkerThread;
class TfrmIndirizziEmail;

// "Archivio": every contact, narrowed as the user types in the search boxes.
class TfrmContatti : public QDialog
{
    Q_OBJECT

public:
    // `payments`: the payments of the contact the editor opens; `agenda` shows the names an
    // import changes; `options` give a new contact its defaults and the vCard import its action.
    // The search boxes offer the rows of `reference`.
    TfrmContatti(ContactStore &store, ReferenceStore &reference, PaymentStore &payments,
                 AgendaStore &agenda, OptionsStore &options, GridLayouts layouts,
                 TfrmContattiDett &editor, TfrmIndirizziEmail &addresses,
                 QWidget *parent = nullptr);

    // What the main window does before showing the list: no search left over.
    void reset();

    void filtra();                     // composes the filter from the boxes
    void ordina(const QString &field); // a click on a column title
    void avanti();                     // opens the current contact
    void aggiungi();                   // a new contact, stored, then opened
    void elimina();
    void ricarica();
    void copiaEmail();
    // "Invia email": the addresses of the selected contacts to `send`, which opens the e-mail
    // window with them (given by the program: the window belongs to another subsystem).
    void setSendEmail(std::function<void(const QStringList &addresses)> send)
    {
        m_sendEmail = std::move(send);
    }
    void inviaEmail();
    void esportaVCard(); // the selected contacts, in the order selected, to a file
    void importaVCard(); // the cards of a file, matched with the archive
    // "Esporta foglio": the contacts selected (when several are) or else listed, in that order,
    // to a CSV or .xlsx file, written off the window's thread.
    void esportaFoglio();
    // "Importa foglio": a CSV or .xlsx file, shown with its columns' matching before the
    // import, which runs with a connection of its own (`setOpenConnection`).
    void importaFoglio();
    void setOpenConnection(TfrmImportaFoglio::OpenConnection open);
    TfrmImportaFoglio *sheetImport() const { return m_sheetImport; }
    bool isExporting() const;
    void selezionaTutti();
    void selezionaAuguri();
    void contaRecord();

    DataGrid *grid() const { return m_grid; }
    DataSetModel *gridModel() const { return m_model; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Reads the contact for the editor; false (after telling the user why) when it cannot.
    bool openContact(qint64 id);
    QList<qint64> selectedIds() const;
    // The e-mail addresses of the selected contacts, in selection order, `email` before
    // `secEmail`; false (after the message) when nothing is selected.
    bool selectedAddresses(QStringList *addresses);

    ContactStore &m_store;
    ReferenceStore &m_reference;
    PaymentStore &m_payments;
    AgendaStore &m_agenda;
    OptionsStore &m_options;
    TfrmContattiDett &m_editor;
    TfrmIndirizziEmail &m_addresses;
    std::function<void(const QStringList &)> m_sendEmail;
    TfrmImportaFoglio *m_sheetImport;
    WorkerThread *m_sheetExport;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QLineEdit *m_nominativo;
    QLineEdit *m_fax;
    QLineEdit *m_note;
    QLineEdit *m_telefoni;
    QLineEdit *m_cellulari;
    QLineEdit *m_email;
    DataSetComboBox *m_categoria;
    DataSetComboBox *m_sesso;
    DataSetComboBox *m_professione;
};
