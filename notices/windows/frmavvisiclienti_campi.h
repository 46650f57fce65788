#pragma once

#include <QDialog>

class DataSetComboBox;
class FieldBinder;
class QPlainTextEdit;
class NoticeStore;
class TfrmAvvisiClienti_Filtri;
class TfrmGrigliaAvvisi;

// "Avvisi per Clienti", first step: this workstation's notice text, written here or copied
// from a template, with the recipient's own data inserted as fields («Cognome», ...).
// "Continua" goes on to the choice of the contacts.
class TfrmAvvisiClienti_Campi : public QDialog
{
    Q_OBJECT

public:
    TfrmAvvisiClienti_Campi(NoticeStore &store, TfrmGrigliaAvvisi &templates,
                            TfrmAvvisiClienti_Filtri &filters);

    // Shows this workstation's notice text and waits, modally, until the window is left.
    void apri();

    bool modified() const { return m_modified; }

    // Copies the chosen template's text over the notice text, asking first when there is one.
    void DBLookupComboBox1Click();
    // Writes `field` as «field» where the caret is.
    void insertField(const QString &field);
    // Stores the text when it changed and closes.
    void spdIndietroClick();
    // Stores the text and opens the filter step; not without a text.
    void btnContinuaClick();

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    NoticeStore &m_store;
    TfrmGrigliaAvvisi &m_templates;
    TfrmAvvisiClienti_Filtri &m_filters;
    FieldBinder *m_binder;
    QPlainTextEdit *m_testo;
    DataSetComboBox *m_modelli;
    bool m_modified = false;
};
