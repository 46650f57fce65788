#pragma once

#include <QDialog>

class DataSetComboBox;
class FieldBinder;
class Program;
class QLineEdit;
namespace db {
class DataSet;
}

// "Comuni": the current municipality of the shared data set, with its codes and its province,
// region and country. Choosing a province fills in its region. It can be left only through
// "Indietro", which saves first when anything changed and stays open without a name.
class TfrmComuniDett : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmComuniDett(Program &program);

    db::DataSet &dataSet() const;

    // Shows the data set's current municipality and waits, modally, until the window is left.
    void apri();

    // A change is pending: leaving saves. Set by the user's changes and by the list's add.
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // The last save was refused: leaving is blocked.
    bool saveRefused() const { return m_saveRefused; }

    void spdSalvaClick();
    void spdIndietroClick();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *textField(const QString &name, int maxLength);
    QLineEdit *coordinateField(const QString &name, const QString &column);
    DataSetComboBox *lookupField(const QString &name, db::DataSet &list, const QString &key,
                                 const QString &shown, const QString &column);
    void provinciaChosen();
    void showCoordinates();

    Program &m_program;
    FieldBinder *m_binder;
    QLineEdit *m_comune;
    QList<std::pair<QLineEdit *, QString>> m_coordinates;
    DataSetComboBox *m_provincia;
    DataSetComboBox *m_regione;
    bool m_modified = false;
    bool m_saveRefused = false;
};
