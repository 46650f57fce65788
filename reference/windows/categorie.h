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

private:
    QComboBox *m_picker;
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
