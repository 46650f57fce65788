#pragma once

#include "db/datasets/dataset.h"

#include <QDate>

class AgendaStore;
class SharedDataSets;
struct ReportDefinition;

// The contacts: the whole contact list and the contact being edited, the SQL they are read with,
// the contact's save, a new contact's defaults, the deletion from the list, the reports' queries.
class ContactStore
{
public:
    // Declares the data sets into `shared`; a contact's new name goes into its appointments in
    // `agenda`.
    ContactStore(SharedDataSets &shared, AgendaStore &agenda);
    ContactStore(const ContactStore &) = delete;
    ContactStore &operator=(const ContactStore &) = delete;

    // Every contact, read when a window first needs it; its key column is Ide.
    db::DataSet TableCercaContatti;
    // The contact being edited (openContact()).
    db::DataSet TableContatti;

    // What TableCercaContatti selects.
    static QString contactListSql();
    // One contact, its key bound to the ?: what TableContatti holds while it is edited.
    static QString contactSql();
    db::Connection &connection() { return TableContatti.connection(); }

    // Reads the contact list unless it is open already; a failure is shown to the user and
    // returned.
    db::Status openList();
    // Reads contact `id` into TableContatti.
    db::Status openContact(qint64 id);
    // Reads the contact being edited and the whole list again, back on the same contact.
    db::Status reload();

    // A new contact, not written yet: not cancelled, white, entered today, with the defaults
    // `personalizzazioni` sets for Contatti. Nothing is added on a failure.
    db::Status appendContact(db::DataSet &personalizzazioni);
    // Writes the new contact and stays on it; a failure is shown to the user, the row is dropped
    // and the failure returned.
    db::Status storeNewContact();

    // Writes the contact being edited; with `renamed` its appointments take its new name, in the
    // same transaction. A refused save is shown to the user and returned, with what was typed
    // put back on the row, still to be saved. Saved, the appointments and the list show the
    // contact again (a failure to read them is shown, and does not undo the save).
    db::Status save(bool renamed);
    // For a contact another workstation deleted while it was edited here: what was typed,
    // stored as a new contact, which the editor then shows and the list holds in place of the
    // deleted one. The new contact's key; a failure is returned (nothing is stored then).
    db::Result<qint64> saveAsNewContact();
    // The same contact, given up: what was typed is dropped and the deleted row leaves the list.
    void forgetDeletedContact();
    // After the contact being edited was erased for good (with its appointments): the same, and
    // the agenda read again.
    void forgetErasedContact();
    // Deletes the contact being edited (a new one left blank); a failure is shown to the user
    // and returned.
    db::Status dropContact();
    // Deletes the current contact of the list; the list stays where it was, on the contact
    // before it.
    db::Status removeListed();

    // The contacts born in the month of `today`, and in the next one after the 25th.
    static QString birthdaysSql(QDate today);

    // Every contact with addresses and telephones ("Agenda"), and laid out by category.
    static ReportDefinition bookReport();
    static ReportDefinition byCategoryReport();
    // An address label per contact with an address.
    static ReportDefinition labelsReport();
    // How many contacts the labels leave out for want of an address (one row, "Quanti").
    static QString withoutAddressSql();
    // The privacy form of contact `contactId`.
    static ReportDefinition privacyFormReport(qint64 contactId);

private:
    AgendaStore &m_agenda;
};
