#pragma once

#include "common/filtersuspension.h"
#include "common/widgets/detailwindow.h"
#include "common/workerthread.h"
#include "db/datasets/dataset.h"

#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class ContactStore;
class DataSetComboBox;
class FieldBinder;
class PagamentiPage;
class PaymentStore;
class ReferenceStore;
class TfrmPagamentiContatto;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class TaxCodeFields;
enum class ReportKind;

// What the contact editor opens in windows of other subsystems: the lookup editors, the
// postal-code finder, the report hand-off. The program fills them; an empty one does nothing.
struct ContactEditorLinks
{
    struct Lookup
    {
        std::function<void()> add;  // the list window's add operation
        std::function<void()> open; // the detail window on the list data set's current row
    };
    Lookup categorie, professioni, titoli, comuni;
    std::function<std::optional<QString>(const QString &comune)> trovaCap;
    std::function<void(ReportKind kind)> print;
    // Where the report runner is, for the printed copy of a person's data.
    QString programFolder;
};

// "Contatti": the editor of one contact, the row of TableContatti, on four pages. "Indietro"
// stays open while the contact has neither a company name nor a surname.
class TfrmContattiDett : public DetailWindow
{
    Q_OBJECT

public:
    // `payment` edits one payment of the payments page, the contact's payments in `payments`;
    // the lists offer the rows of `reference`.
    TfrmContattiDett(ContactStore &store, ReferenceStore &reference, PaymentStore &payments,
                     TfrmPagamentiContatto &payment, ContactEditorLinks links = {},
                     QWidget *parent = nullptr);
    ~TfrmContattiDett() override;

    // A name field was typed into: the save composes the display names again.
    bool nameChanged = false;
    // The contact was added by the list for this opening: left still blank, it may be dropped.
    void setNewContact(bool added) { m_newContact = added; }

    void showFirstPage();
    // The colour choice: the contact's own colour, white when it has none.
    void setColourChoice(qint64 numeroColore);
    qint64 colourChoice() const;

    // Saves the contact; false when the save was refused (the message has been shown).
    bool salva();
    // "Stampa": saves, then prints the contact's privacy form.
    void stampaPrivacy();
    // "Dati personali…": saves, then writes everything the archive holds about the contact to
    // a file the user chooses, a PDF for the person or JSON for a program. The PDF is made by
    // the report runner off the window's thread; `exported` is emitted when it is written.
    void datiPersonali();
    // "Cancella definitivamente…": after saying what goes and a question (Enter answers No),
    // erases the contact, its payments and appointments for good, and closes the card.
    void cancellaDefinitivamente();
    // "Trova" of the home and the office address.
    void trovaCapCasa();
    void trovaCapUfficio();

    QTabWidget *pages() const { return m_pages; }
    TaxCodeFields *taxCodes() const { return m_taxCodes; }

Q_SIGNALS:
    // A copy of the contact's data was written, or could not be: what the user was told.
    void exported(const QString &message);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool save() override { return salva(); }
    bool mayLeave() override;
    // Only a field that cannot be stored as typed: the user's own "No" to a question, or an
    // archive that cannot be reached, keeps the card without another question.
    bool offersDiscard() const override { return m_fieldRefused; }
    void discardChanges() override;

private:
    QWidget *buildGenerale();
    QWidget *buildUfficio();
    QWidget *buildAltro();
    QLineEdit *textField(QWidget *parent, const QString &name, const QString &column);
    DataSetComboBox *lookupField(QWidget *parent, const QString &name, const QString &column,
                                 db::DataSet &list, const QString &key, const QString &shown);
    void pageChanging(int page);
    void copyCategoryColour();
    // A town chosen fills its postal code into `column`.
    void fillCapOfTown(const QString &column);
    void openLookup(db::DataSet &list, const QString &keyColumn, const std::function<void()> &open);
    void refuseNameless();
    bool deletedElsewhere();
    QHash<const QWidget *, QString> typedTexts() const;
    // No text typed on the card and no payment: nothing would be lost by dropping it.
    bool isBlankCard() const;
    bool dropBlankContact();
    void markChanged() { setModified(true); }

    ContactStore &m_store;
    ReferenceStore &m_reference;
    PaymentStore &m_payments;
    ContactEditorLinks m_links;
    FieldBinder *m_binder;
    QTabWidget *m_pages;
    int m_currentPage = 0;
    QLineEdit *m_ragioneSociale;
    QLineEdit *m_cognome;
    QLineEdit *m_nome;
    QLineEdit *m_codiceFiscale;
    QLineEdit *m_dataNascita;
    TaxCodeFields *m_taxCodes = nullptr;
    DataSetComboBox *m_categoria;
    DataSetComboBox *m_comune;
    DataSetComboBox *m_ufficioComune;
    DataSetComboBox *m_luogoNascita;
    QComboBox *m_colour;
    PagamentiPage *m_pagamenti;
    bool m_newContact = false;
    bool m_fieldRefused = false;         // the last save was refused for a field typed wrong
    QHash<QString, QString> m_typedCaps; // the postal codes typed since the card was shown
    // The lists of towns, categories, professions and titles offer every row while the editor
    // is open, whatever another window searched.
    std::unique_ptr<FilterSuspension> m_fullLists;
    WorkerThread *m_export = nullptr;
    QHash<const QWidget *, QString> m_textsWhenAdded;
};
