#pragma once

#include "common/widgets/detailwindow.h"
#include "reference/lookuptables.h"
#include "reference/referencestore.h"

class FieldBinder;
class QLineEdit;
class QVBoxLayout;

// The detail window of a reference table: the description of the shared data set's current
// row (an existing row or a new one).
class LookupDetailWindow : public DetailWindow
{
    Q_OBJECT

public:
    LookupDetailWindow(ReferenceStore &store, const reference::LookupTable &table,
                       db::DataSet ReferenceStore::*dataSet);

    const reference::LookupTable &table() const { return m_table; }
    db::DataSet &dataSet() const { return m_dataSet; }

    // Shows the data set's current row and waits, modally, until the window is left.
    void apri();
    // The current row is one the list's "Aggiungi" just made (`stored`: already written, with
    // the table's default): left with nothing typed, it is dropped rather than kept blank or
    // refused.
    void startNew(bool stored)
    {
        m_new = true;
        m_newStored = stored;
    }

protected:
    // Shows the current row in the fields a table adds beside the description.
    virtual void showRow() {}
    // Writes those fields into the row just before it is stored.
    virtual db::Status writeRow() { return {}; }
    // After the row is stored: what follows from it elsewhere. A failure is told; the row stays
    // stored.
    virtual db::Status afterSave() { return {}; }
    // Where a table's own fields go, under the description.
    QVBoxLayout *fieldsLayout() const { return m_fields; }

    bool save() override;
    bool mayLeave() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    db::DataSet &m_dataSet;
    const reference::LookupTable &m_table;
    FieldBinder *m_binder = nullptr;
    QLineEdit *m_description;
    bool m_new = false, m_newStored = false;
    QVBoxLayout *m_fields;
};
