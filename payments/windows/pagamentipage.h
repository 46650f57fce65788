#pragma once

#include <QWidget>

class DataGrid;
class TfrmPagamentiContatto;
class Tform_DB;

// The payments of the contact being edited, on a page of the contact editor.
class PagamentiPage : public QWidget
{
    Q_OBJECT

public:
    PagamentiPage(Tform_DB &db, QWidget *parent = nullptr);

    void setPaymentWindow(TfrmPagamentiContatto *window) { m_window = window; }

    void aggiungi();
    void modifica();
    void elimina();
    void ordina(const QString &field);

    DataGrid *grid() const { return m_grid; }

private:
    Tform_DB &m_db;
    TfrmPagamentiContatto *m_window = nullptr;
    DataGrid *m_grid;
};
