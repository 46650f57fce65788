#pragma once

#include <QString>
#include <QTypeInfo>

#include <array>

namespace vcard {

// What each of the 48 slots of a card carries. The writer puts each slot into one piece of
// one property line; the reader fills the same slot from the same piece.
enum Slot : int
{
    FamilyName = 0, // N, component 1
    GivenName,      // N, component 2
    AdditionalNames,
    NamePrefix,
    NameSuffix,
    Organisation, // ORG, first component
    Title,
    Photo, // a reference (URI), never inline picture data
    HomeTel1,
    HomeTel2,
    HomeFax,
    WorkTel1,
    WorkTel2,
    WorkFax,
    HomeCell1,
    HomeCell2,
    WorkCell1,
    WorkCell2,
    HomeEmail1,      // 18 to 21
    WorkEmail1 = 22, // 22 to 25
    HomeUrl = 26,
    WorkUrl,
    HomeStreet, // the street alone; its civic number is HomeNumber
    WorkStreet,
    HomePostalCode,
    WorkPostalCode,
    HomeLocality,
    WorkLocality,
    HomeNumber,
    WorkNumber,
    HomeRegion, // the province
    WorkRegion,
    Label, // the goods destination, free text
    Uid,
    UidPrefix, // written before Uid; the reader leaves it empty
    Note,
    Role,
    Revision, // REV as read, or yyyy-mm-dd
    Birthday, // BDAY as read, or yyyy-mm-dd
    Key,
    Geo,
    Categories, // one category
};

inline constexpr int kSlots = 48;
inline constexpr int kEmailsPerKind = 4;

} // namespace vcard

// The values of one card.
struct DatiVCard
{
    std::array<QString, vcard::kSlots> slot;
    // FN as read; written as FN when neither the organisation nor the family name gives one.
    QString formattedName;

    QString &operator[](vcard::Slot s) { return slot[s]; }
    const QString &operator[](vcard::Slot s) const { return slot[s]; }
    bool operator==(const DatiVCard &other) const = default;
};

static_assert(vcard::Categories == vcard::kSlots - 1);
// Its texts may be moved in memory as they are: a list of many cards grows without copying.
Q_DECLARE_TYPEINFO(DatiVCard, Q_RELOCATABLE_TYPE);
