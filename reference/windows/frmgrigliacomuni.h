#pragma once

#include "session/gridlayouts.h"

#include <QDialog>

class DataGrid;
class DataSetModel;
class QLabel;
class QLineEdit;
class ReferenceStore;
class TfrmComuniDett;
namespace db {
class DataSet;
}

// "Comuni": the municipality archive, with a live search over six columns. The search narrows
// the shared municipality data set, so the other windows' town lists are narrowed too.
class TfrmGrigliaComuni : public QDialog
{
    Q_OBJECT

public:
    TfrmGrigliaComuni(ReferenceStore &store, GridLayouts layouts, TfrmComuniDett &detail);

    db::DataSet &dataSet() const { return m_dataSet; }
    DataGrid *grid() const { return m_grid; }
    // The grid's columns, whose layout is kept as "frmGrigliaComuni".
    DataSetModel &gridModel() const { return *m_model; }

    // Stores a new municipality at once (postal code "00000", no name yet) and opens the detail
    // window on it; returns when the detail window is left.
    void Aggiungi();
    // Opens the detail window on the current municipality; nothing on an empty list.
    void apriDettaglio();
    // Deletes the current municipality after a question.
    void Elimina();
    void Ricarica();

protected:
    // The telephone prefix box only where some municipality has a prefix to find.
    void showEvent(QShowEvent *event) override;

private:
    void search();
    QLineEdit *searchBox(QWidget *parent, const QString &name);

    ReferenceStore &m_store;
    db::DataSet &m_dataSet;
    TfrmComuniDett &m_detail;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QList<QLineEdit *> m_boxes;
    QList<QLabel *> m_labels;
};
