#pragma once

#include "app/datamodule.h"
#include "reference/lookuptables.h"

#include <QDialog>

class FieldBinder;
class Program;
class QLineEdit;
class QVBoxLayout;

// The detail window of a reference table: the description of the shared data set's current
// row (an existing row or a new one). It can be left only through "Indietro", which saves
// first when anything changed and stays open when the save is refused.
//
// The window is created before the data module, so it reaches its data set only when used.
class LookupDetailWindow : public QDialog
{
    Q_OBJECT

public:
    LookupDetailWindow(Program &program, const reference::LookupTable &table,
                       db::DataSet Tform_DB::*dataSet);

    const reference::LookupTable &table() const { return m_table; }
    db::DataSet &dataSet() const;

    // Shows the data set's current row and waits, modally, until the window is left.
    void apri();

    // A change is pending: leaving saves. Set by the user's typing and by the list's add.
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // The last save was refused: leaving is blocked.
    bool saveRefused() const { return m_saveRefused; }

    void spdSalvaClick();
    void spdIndietroClick();

protected:
    // Shows the current row in the fields a table adds beside the description.
    virtual void showRow() {}
    // Writes those fields into the row just before it is stored.
    virtual db::Status writeRow() { return {}; }
    // Where a table's own fields go, under the description.
    QVBoxLayout *fieldsLayout() const { return m_fields; }

    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FieldBinder &binder();

    Program &m_program;
    const reference::LookupTable &m_table;
    db::DataSet Tform_DB::*m_dataSet;
    FieldBinder *m_binder = nullptr;
    QLineEdit *m_description;
    QVBoxLayout *m_fields;
    bool m_modified = false;
    bool m_saveRefused = false;
};
