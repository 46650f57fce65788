#pragma once

#include "session/gridlayouts.h"

#include <QDialog>

class DataGrid;
class DataSetModel;
class QLineEdit;
class NoticeStore;
class TfrmAvvisi;
namespace db {
class DataSet;
}

// "Avvisi": the notice templates, with a live search by name. The search narrows the shared
// template data set, so the wizard's template list is narrowed too until it is cleared.
class TfrmGrigliaAvvisi : public QDialog
{
    Q_OBJECT

public:
    TfrmGrigliaAvvisi(NoticeStore &store, GridLayouts layouts, TfrmAvvisi &editor);

    db::DataSet &dataSet() const { return m_dataSet; }
    DataGrid *grid() const { return m_grid; }
    // The grid's columns, whose layout is kept as "frmGrigliaAvvisi".
    DataSetModel &gridModel() const { return *m_model; }

    // Stores a new template at once and opens the editor on it; returns when the editor is
    // left. Also the wizard's way to write a template on the fly.
    void spdInserisciClick();
    // Opens the editor on the current template; nothing on an empty list.
    void apriDettaglio();
    // Deletes the current template after a question.
    void Elimina();
    void Ricarica();
    // The list as the main window leaves it: no search, no filter.
    void reset();

private:
    void search(const QString &text);
    void sortBy(const QString &field);

    NoticeStore &m_store;
    db::DataSet &m_dataSet;
    TfrmAvvisi &m_editor;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QLineEdit *m_search;
};
