#pragma once

#include "common/widgets/detailwindow.h"

class DataGrid;
class FieldBinder;
class PaymentStore;
class QLineEdit;
namespace db {
class DataSet;
}

// "Importa Pagamento": picks a payment type whose description the payment copies.
class TfrmImportaPagamento : public QDialog
{
    Q_OBJECT

public:
    // `tipoPagamenti`: the payment types, shown as they are.
    explicit TfrmImportaPagamento(db::DataSet &tipoPagamenti, QWidget *parent = nullptr);

    // Set by "Indietro", cleared by a choice; it lasts until the next use.
    bool cancelled = false;
    // The description of the chosen type.
    QVariant descrizione() const;

    void avanti();
    void indietro();
    void reject() override;

private:
    db::DataSet &m_tipoPagamenti;
    DataGrid *m_grid;
};

// "Pagamenti per Contatto": one payment of the contact being edited.
class TfrmPagamentiContatto : public DetailWindow
{
    Q_OBJECT

public:
    // `picker` offers the payment types whose description a payment copies.
    TfrmPagamentiContatto(PaymentStore &store, TfrmImportaPagamento &picker,
                          QWidget *parent = nullptr);

    // The picture button beside the description: the description of a payment type.
    void importaDescrizione();
    // The payment on show is one "Aggiungi" just began (not written yet): left with nothing
    // typed, it is dropped rather than refused for its missing fields.
    void setNew(bool isNew)
    {
        m_new = isNew;
        m_typed = false;
    }

protected:
    void showEvent(QShowEvent *event) override;
    bool save() override;
    bool mayLeave() override;

private:
    PaymentStore &m_store;
    TfrmImportaPagamento &m_picker;
    FieldBinder *m_binder;
    QLineEdit *m_data;
    QLineEdit *m_descrizione;
    QLineEdit *m_importo;
    bool m_new = false, m_typed = false;
};
