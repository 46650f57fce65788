#pragma once

#include "reference/windows/lookupdetailwindow.h"
#include "reference/windows/lookuplistwindow.h"

class QComboBox;

// "Categorie": a category's description and the colour its contacts are shown in.
class TfrmCategorie : public LookupDetailWindow
{
    Q_OBJECT

public:
    explicit TfrmCategorie(ReferenceStore &store);

    // The colour chosen in the picker (a Windows colour value); selecting a value that is not
    // one of the sixteen selects white.
    qint64 colour() const;
    void setColour(qint64 value);

protected:
    void showRow() override;
    db::Status writeRow() override;
    // A changed colour reaches the copy the category's contacts keep.
    db::Status afterSave() override;

Q_SIGNALS:
    // The contacts of a category took its new colour.
    void contactColoursChanged();

private:
    ReferenceStore &m_store;
    QComboBox *m_picker;
    qint64 m_shownId = 0;   // the row's key when it was shown (none for a new one)
    QVariant m_shownColour; // as stored when the row was shown
};

// The category list. Deleting a category also clears the colour its contacts keep a copy of.
class TfrmCategorieContatti_Griglia : public LookupListWindow
{
    Q_OBJECT

public:
    TfrmCategorieContatti_Griglia(ReferenceStore &store, TfrmCategorie &detail);

protected:
    db::Status beforeDelete() override;

private:
    ReferenceStore &m_store;
};
