#pragma once

#include "common/widgets/detailwindow.h"

class DataSetComboBox;
class FieldBinder;
class QLineEdit;
class ReferenceStore;
namespace db {
class DataSet;
}

// "Comuni": the current municipality of the shared data set, with its codes and its province,
// region and country. Choosing a province fills in its region. "Indietro" stays open without a
// name.
class TfrmComuniDett : public DetailWindow
{
    Q_OBJECT

public:
    explicit TfrmComuniDett(ReferenceStore &store);

    db::DataSet &dataSet() const { return m_dataSet; }

    // Shows the data set's current municipality and waits, modally, until the window is left.
    void apri();
    // The municipality on show was written by the list's "Aggiungi" a moment ago: left without
    // a name, it is deleted after asking, never kept blank nor refused without a way out.
    void setNew(bool isNew) { m_new = isNew; }

protected:
    bool save() override;
    bool mayLeave() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *textField(const QString &name, int maxLength);
    QLineEdit *coordinateField(const QString &name, const QString &column);
    DataSetComboBox *lookupField(const QString &name, db::DataSet &list, const QString &key,
                                 const QString &shown, const QString &column);
    void provinciaChosen();
    void showCoordinates();

    db::DataSet &m_dataSet;
    db::DataSet &m_province;
    FieldBinder *m_binder;
    QLineEdit *m_comune;
    bool m_new = false;
    QList<std::pair<QLineEdit *, QString>> m_coordinates;
    DataSetComboBox *m_provincia;
    DataSetComboBox *m_regione;
};
