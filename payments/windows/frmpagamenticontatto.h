#pragma once

#include "common/widgets/detailwindow.h"

class DataGrid;
class FieldBinder;
class QLineEdit;
class Tform_DB;

// "Importa Pagamento": picks a payment type whose description the payment copies.
class TfrmImportaPagamento : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmImportaPagamento(Tform_DB &db, QWidget *parent = nullptr);

    // Set by "Indietro", cleared by a choice; it lasts until the next use.
    bool cancelled = false;

    void avanti();
    void indietro();
    void reject() override;

private:
    DataGrid *m_grid;
};

// "Pagamenti per Contatto": one payment of the contact being edited.
class TfrmPagamentiContatto : public DetailWindow
{
    Q_OBJECT

public:
    // `picker` offers the payment types whose description a payment copies.
    TfrmPagamentiContatto(Tform_DB &db, TfrmImportaPagamento &picker, QWidget *parent = nullptr);

    // The picture button beside the description: the description of a payment type.
    void importaDescrizione();

protected:
    void showEvent(QShowEvent *event) override;
    bool save() override;

private:
    Tform_DB &m_db;
    TfrmImportaPagamento &m_picker;
    FieldBinder *m_binder;
    QLineEdit *m_data;
    QLineEdit *m_descrizione;
    QLineEdit *m_importo;
};
