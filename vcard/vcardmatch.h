#pragma once

#include "db/core/connection.h"
#include "vcard/vcardrecord.h"

#include <QHash>
#include <QList>

namespace vcard {

// The names of the archive's contacts, read once, against which an import matches its cards
// without a query per card. Names compare as the archive compares them: letter case aside.
class ContactIndex
{
public:
    static db::Result<ContactIndex> load(db::Connection &connection);

    // The contact a card stands for, 0 when none, in this order:
    // - a UID of the program's own form ("Calvetra" and the key), when that contact also has
    //   the card's organisation or family name (another office's key may name someone else);
    // - organisation and family name: the contact with that company, surname and given name;
    // - organisation alone: a contact of that company, one without a person first;
    // - family name: the contact with that surname and given name (an empty given name
    //   matches only an empty one), one without a company first.
    qint64 match(const DatiVCard &card) const;

    // Records a contact, or renames one already recorded (an empty name keeps the one it had).
    // An import gives the contacts it is about to create negative keys, so that a later card
    // of the same file finds them.
    void put(qint64 id, const QString &organisation, const QString &familyName,
             const QString &givenName);

    // The key in a UID of the program's own form, "Calvetra" followed by a key (letter case
    // aside); 0 for any other UID.
    static qint64 ownKey(QStringView uid);

private:
    struct Names
    {
        QString organisation, familyName, givenName; // case-folded
    };
    // The lists are keyed by hashes of the names; every candidate is checked on its names.
    static size_t personKey(const Names &names);
    void remove(qint64 id);

    QHash<qint64, Names> m_names;
    QHash<size_t, QList<qint64>> m_byOrganisation;
    QHash<size_t, QList<qint64>> m_byPerson;
};

} // namespace vcard
