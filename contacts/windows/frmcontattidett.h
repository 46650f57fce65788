#pragma once

#include "db/dataset.h"

#include <QDialog>

#include <functional>
#include <optional>

class DataSetComboBox;
class FieldBinder;
class PagamentiPage;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class Tform_DB;

// What the contact editor opens in other windows: the lookup editors, the postal-code finder,
// the report hand-off. The program connects them when it creates its windows.
struct ContactEditorLinks
{
    struct Lookup
    {
        std::function<void()> add;  // the list window's add operation
        std::function<void()> open; // the detail window on the list data set's current row
    };
    Lookup categorie, professioni, titoli, comuni;
    std::function<std::optional<QString>(const QString &comune)> trovaCap;
    std::function<void(int kind)> print;
};

// "Contatti": the editor of one contact, the row of TableContatti, on four pages.
class TfrmContattiDett : public QDialog
{
    Q_OBJECT

public:
    TfrmContattiDett(Tform_DB &db, QWidget *parent = nullptr);
    ~TfrmContattiDett() override;

    void setLinks(ContactEditorLinks links) { m_links = std::move(links); }

    // Shared with the contact list: a change is pending; a name field was typed into.
    bool recordChanged = false;
    bool nameChanged = false;

    void showFirstPage();
    // The colour choice: the contact's own colour, white when it has none.
    void setColourChoice(qint64 numeroColore);
    qint64 colourChoice() const;

    // Saves the contact; false when the save was refused (the message has been shown).
    bool salva();
    // "Indietro": leaves when the contact has a company name or a surname, saving first.
    void indietro();
    // "Stampa": saves, then prints the contact's privacy form.
    void stampaPrivacy();
    // "Trova" of the home and the office address.
    void trovaCapCasa();
    void trovaCapUfficio();

    QTabWidget *pages() const { return m_pages; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *buildGenerale();
    QWidget *buildUfficio();
    QWidget *buildAltro();
    QLineEdit *textField(QWidget *parent, const QString &name, const QString &column);
    DataSetComboBox *lookupField(QWidget *parent, const QString &name, const QString &column,
                                 db::DataSet &list, const QString &key, const QString &shown);
    QWidget *withButtons(QWidget *field, const QString &addName, const QString &openName,
                         const std::function<void()> &add, const std::function<void()> &open);
    void pageChanging(int page);
    void copyCategoryColour();
    void openLookup(db::DataSet &list, const QString &keyColumn,
                    const std::function<void()> &open);
    void refuseNameless();
    void markChanged();

    Tform_DB &m_db;
    ContactEditorLinks m_links;
    FieldBinder *m_binder;
    QTabWidget *m_pages;
    int m_currentPage = 0;
    QLineEdit *m_ragioneSociale;
    QLineEdit *m_cognome;
    QLineEdit *m_nome;
    QLineEdit *m_codiceFiscale;
    QLineEdit *m_dataNascita;
    DataSetComboBox *m_categoria;
    DataSetComboBox *m_comune;
    DataSetComboBox *m_ufficioComune;
    DataSetComboBox *m_luogoNascita;
    QComboBox *m_colour;
    PagamentiPage *m_pagamenti;
};
