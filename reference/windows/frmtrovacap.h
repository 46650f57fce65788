#pragma once

#include "session/gridlayouts.h"

#include <QDialog>

#include <optional>

class DataGrid;
class DataSetModel;
class QLineEdit;
class ReferenceStore;
namespace db {
class DataSet;
}

// "Trova Cap": the streets and localities of one municipality with their postal codes, for
// the user to pick the right code when a town has several.
class TfrmTrovaCap : public QDialog
{
    Q_OBJECT

public:
    TfrmTrovaCap(ReferenceStore &store, GridLayouts layouts);

    // The postal code of a street of `comune` (a municipality's name): nothing, after the
    // message "Prima devi selezionare la Città !", when no town is given; the code at once when
    // the street archive has a single one for the town; otherwise the code of the street the
    // user chooses in this window, or nothing when the user leaves it with "Indietro".
    std::optional<QString> trovaCap(const QString &comune);

    db::DataSet &dataSet() const { return m_dataSet; }
    DataGrid *grid() const { return m_grid; }
    // The grid's columns, whose layout is kept as "frmTrovaCap".
    DataSetModel &gridModel() const { return *m_model; }
    // Set when the window was last left with "Indietro"; clear when a street was chosen.
    bool cancelled() const { return m_cancelled; }

    // A double click on a street: it is the choice.
    void DBGrid1DblClick();
    void spdIndietroClick();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();

    ReferenceStore &m_store;
    db::DataSet &m_dataSet;
    DataSetModel *m_model;
    DataGrid *m_grid;
    QLineEdit *m_frazione;
    QLineEdit *m_indirizzo;
    bool m_cancelled = true;
};
