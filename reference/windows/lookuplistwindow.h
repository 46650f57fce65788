#pragma once

#include "reference/lookuptables.h"
#include "reference/referencestore.h"

#include <QDialog>

class DataGrid;
class DataSetModel;
class LookupDetailWindow;
class QLineEdit;

// The list window of a reference table: its descriptions in a read-only grid over the shared
// data set, a live search under it, and the toolbar to add, open, delete and reload. The search
// narrows the shared data set itself, so the other windows' lists of the same table are
// narrowed too until the search is cleared or a row is added.
class LookupListWindow : public QDialog
{
    Q_OBJECT

public:
    // `detail` edits the rows of the same data set.
    LookupListWindow(ReferenceStore &store, const reference::LookupTable &table,
                     db::DataSet ReferenceStore::*dataSet, LookupDetailWindow &detail);

    const reference::LookupTable &table() const { return m_table; }
    db::DataSet &dataSet() const { return m_dataSet; }
    DataGrid *grid() const { return m_grid; }

    // Adds a row, stored at once or left to the detail window as the table wants, and opens
    // the detail window on it; returns when the detail window is left. The new row, when it
    // was saved, is then the data set's current row.
    void Aggiungi();
    // Opens the detail window on the data set's current row; nothing on an empty list.
    void apriDettaglio();
    // Deletes the current row after the table's question; the row before it becomes current.
    void Elimina();
    // Reads the rows again, keeping the search.
    void Ricarica();

protected:
    // Runs on the current row when the user has confirmed its deletion.
    virtual db::Status beforeDelete() { return {}; }

private:
    void search(const QString &text);

    db::DataSet &m_dataSet;
    const reference::LookupTable &m_table;
    LookupDetailWindow &m_detail;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QLineEdit *m_search;
};
