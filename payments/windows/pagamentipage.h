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
    // `window` edits one payment of the page.
    PagamentiPage(Tform_DB &db, TfrmPagamentiContatto &window, QWidget *parent = nullptr);

    void aggiungi();
    void modifica();
    void elimina();
    void ordina(const QString &field);

    DataGrid *grid() const { return m_grid; }

private:
    Tform_DB &m_db;
    TfrmPagamentiContatto &m_window;
    DataGrid *m_grid;
};
