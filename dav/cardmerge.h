#pragma once

#include "vcard/vcardrecord.h"

#include <QList>
#include <QString>

namespace dav {

// A field both sides changed since they last agreed, to different values: the archive's value
// is kept on both sides, and the phone's is reported so that nothing is lost silently.
struct FieldConflict
{
    QString field; // its Italian name
    QString office;
    QString phone;
};

struct MergedCard
{
    DatiVCard card;
    QList<FieldConflict> conflicts;
    bool archiveChanges = false; // the archive must take what the phone changed
    bool serverChanges = false;  // the server must take what the office changed
};

// The three-way merge of a contact, field by field: a field changed on one side only takes that
// side's value, so a telephone changed on the phone and an e-mail changed in the office are
// both kept; a field changed on both sides to different values keeps the archive's and is a
// conflict. The card's key (UID) and revision are the archive's and never merged.
MergedCard mergeCards(const DatiVCard &agreed, const DatiVCard &archive, const DatiVCard &server);

// The Italian name of a card's field, as the conflicts name it.
QString fieldName(vcard::Slot slot);

} // namespace dav
