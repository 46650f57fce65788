#pragma once

#include <QWidget>

#include <functional>

class DataGrid;
class PaymentStore;
class TfrmPagamentiContatto;

// The payments of the contact being edited, on a page of the contact editor.
class PagamentiPage : public QWidget
{
    Q_OBJECT

public:
    // `window` edits one payment of the page; `contactId` gives the key of the contact being
    // edited.
    PagamentiPage(PaymentStore &store, TfrmPagamentiContatto &window,
                  std::function<QVariant()> contactId, QWidget *parent = nullptr);

    void aggiungi();
    void modifica();
    void elimina();
    void ordina(const QString &field);

    DataGrid *grid() const { return m_grid; }

private:
    PaymentStore &m_store;
    TfrmPagamentiContatto &m_window;
    std::function<QVariant()> m_contactId;
    DataGrid *m_grid;
};
