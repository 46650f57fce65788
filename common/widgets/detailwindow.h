#pragma once

#include <QDialog>

// What every detail window shares: it edits one row of a shared data set and is left only
// through "Indietro", which saves first when anything changed and stays when the save is
// refused. Escape and the close box do what "Indietro" does. No change is ever left behind
// unsaved.
//
// The two flags live as long as the window: a refused save keeps blocking the way out until a
// save succeeds.
class DetailWindow : public QDialog
{
    Q_OBJECT

public:
    explicit DetailWindow(QWidget *parent = nullptr);

    // A change is pending: leaving saves. Set by the user's changes and by the list's add;
    // cleared by a save, which also ends a refusal.
    bool modified() const { return m_modified; }
    void setModified(bool modified)
    {
        m_modified = modified;
        if (!modified)
            m_saveRefused = false;
    }
    // The last save was refused: leaving is blocked.
    bool saveRefused() const { return m_saveRefused; }

    // "Salva": saves the row; a refusal keeps the change pending.
    void spdSalvaClick();
    // "Indietro": leaves, saving first when a change is pending.
    void spdIndietroClick();

protected:
    // Stores the row; false when the save is refused, after telling the user why and leaving
    // what was typed in place.
    virtual bool save() = 0;
    // Checked by "Indietro" before anything else; false keeps the window open (after telling
    // the user why) whether or not a change is pending.
    virtual bool mayLeave() { return true; }
    // After a refused save, whether "Indietro" may offer to close without saving, and the
    // dropping of what was typed since the last save (the stored row shown again). A window
    // whose refusals offer their own way out leaves the first false.
    virtual bool offersDiscard() const { return false; }
    virtual void discardChanges() {}

    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_modified = false;
    bool m_saveRefused = false;
};
