#pragma once

#include "contacts/vcardlists.h"
#include "db/core/connection.h"
#include "vcard/vcardrecord.h"

#include <QDate>

namespace vcard {

// A contact's fields a card does not carry, given by a spreadsheet's row; an empty one leaves
// the column as it is.
struct CardExtras
{
    QString codiceFiscale;
    QString partitaIva;
    QString pec;
};

// Writes a card into the archive's contacts: the card's fields into their columns, the town by
// name among the municipalities, the category, profession and title by their description (added
// when missing), the names shown composed again as the contact editor composes them.
class ContactCardWriter
{
public:
    enum class Mode
    {
        // An import: a field the card leaves empty keeps what the contact holds.
        Fill,
        // A sync: the contact takes the card as it is, an empty field emptying its column. What
        // the archive cannot hold (a town it does not know, a birthday without its year) keeps
        // what the contact holds.
        Exact,
    };

    ContactCardWriter(db::Connection &connection, ImportLists lists, QDate today, Mode mode);

    // A new contact from `card`, not cancelled, white; inserted on `today` unless the card's REV
    // says otherwise. Its key when `keyNeeded`, else 0.
    db::Result<qint64> insert(const DatiVCard &card, bool keyNeeded = true,
                              const CardExtras &extras = {});
    // Writes `card` into the contact `id`. True when its name changed and its appointments, which
    // show a copy of it, were renamed.
    db::Result<bool> update(const DatiVCard &card, qint64 id, const CardExtras &extras = {});

    bool listsAdded() const { return m_lists.added(); }

private:
    db::Connection &m_connection;
    ImportLists m_lists;
    QDate m_today;
    Mode m_mode;
    QString m_insert, m_update, m_select;
};

// Cancels a contact (off the phones and the notices) or brings it back.
db::Status setContactCancelled(db::Connection &connection, qint64 id, bool cancelled);

} // namespace vcard
