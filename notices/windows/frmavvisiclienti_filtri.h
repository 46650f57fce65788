#pragma once

#include "notices/noticequery.h"

#include <QDialog>

class DataSetComboBox;
class QLineEdit;
class TfrmAvvisiClienti_Griglia;
namespace db {
class DataSet;
}

// "Avvisi per Clienti", second step: which contacts the notice goes to, by profession,
// category, municipality, province, notes and birth dates. "Continua" lists them in the
// recipient step, all ticked.
class TfrmAvvisiClienti_Filtri : public QDialog
{
    Q_OBJECT

public:
    // The choices list the rows of the reference data sets given.
    TfrmAvvisiClienti_Filtri(db::DataSet &professioni, db::DataSet &categorie, db::DataSet &comuni,
                             db::DataSet &province, TfrmAvvisiClienti_Griglia &recipients);

    // Nothing chosen, no notes, no dates.
    void reset();
    // Waits, modally, until the window is left.
    void apri();

    // The choices as they stand.
    notices::NoticeFilter filter() const;
    // Lists the contacts of the choices in the recipient step and opens it; a date that is not
    // a date is told and nothing is queried.
    void btnContinuaClick();

private:
    DataSetComboBox *lookup(db::DataSet &list, const QString &name, const QString &key,
                            const QString &shown);
    QLineEdit *dateBox(const QString &name);

    TfrmAvvisiClienti_Griglia &m_recipients;
    DataSetComboBox *m_professione;
    DataSetComboBox *m_categoria;
    DataSetComboBox *m_comune;
    DataSetComboBox *m_provincia;
    QLineEdit *m_note;
    QLineEdit *m_da;
    QLineEdit *m_a;
};
