#pragma once

#include "db/core/result.h"
#include "session/reporthandoff.h"

#include <QDialog>

#include <functional>

class QListWidget;
class NoticeStore;

// What the recipient step reaches outside its subsystem.
struct NoticeLinks
{
    // The report hand-off of the main window.
    std::function<void(ReportKind)> print;
};

// "Avvisi per Clienti", last step: the contacts found by the filter step, to tick or untick;
// "Stampa" prints the notice once for every ticked contact.
class TfrmAvvisiClienti_Griglia : public QDialog
{
    Q_OBJECT

public:
    TfrmAvvisiClienti_Griglia(NoticeStore &store, NoticeLinks links);

    // Lists the contacts of the filter step's query, unticked.
    db::Status carica(const QString &sql);
    // Waits, modally, until the window is left.
    void apri();

    QListWidget *list() const { return m_list; }
    // The keys of the ticked contacts, in the list's order.
    QList<qint64> tickedContacts() const;

    void SelezionaTutti();
    void NessunaSelezione();
    // Stores the ticked contacts as this workstation's recipients and prints the notice for
    // them; the window stays open for another print.
    void btnStampaClick();

private:
    void tickAll(bool ticked);
    // Tells the view that every item may have changed, after changes made in silence.
    void announceChanges();

    NoticeStore &m_store;
    NoticeLinks m_links;
    QListWidget *m_list;
};
