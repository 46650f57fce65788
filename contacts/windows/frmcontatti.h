#pragma once

#include <QDialog>

class DataGrid;
class DataSetComboBox;
class DataSetModel;
class QLineEdit;
class TfrmContattiDett;
class TfrmIndirizziEmail;
class Tform_DB;

// "Archivio": every contact, narrowed as the user types in the search boxes.
class TfrmContatti : public QDialog
{
    Q_OBJECT

public:
    TfrmContatti(Tform_DB &db, TfrmContattiDett &editor, TfrmIndirizziEmail &addresses,
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
    void esportaVCard(); // the selected contacts, in the order selected, to a file
    void importaVCard(); // the cards of a file, matched with the archive
    void selezionaTutti();
    void selezionaAuguri();
    void contaRecord();

    DataGrid *grid() const { return m_grid; }
    DataSetModel *gridModel() const { return m_model; }

private:
    void openContact(qint64 id);
    QList<qint64> selectedIds() const;

    Tform_DB &m_db;
    TfrmContattiDett &m_editor;
    TfrmIndirizziEmail &m_addresses;
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
