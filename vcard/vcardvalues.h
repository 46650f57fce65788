#pragma once

#include <QDate>
#include <QString>

// Values the card writer, the reader and the import agree on.
namespace vcard {

// The street component of an address: the street, then " N°" and the civic number.
QString joinStreet(const QString &street, const QString &number);

struct StreetAndNumber
{
    QString street;
    QString number; // empty when the component names none
};
// Splits at the last "N°" that starts the text or follows a blank, so that joinStreet and
// splitStreet give back what they were given. Both parts are trimmed.
StreetAndNumber splitStreet(QStringView component);

// A BDAY or REV value: a whole date, a date without its year, or nothing usable.
struct CardDate
{
    enum class Kind
    {
        Date,
        Partial,
        Bad
    };
    Kind kind = Kind::Bad;
    QDate date; // valid only for Kind::Date
};
// Reads the date forms of a card: 1963-03-12, 19630312, either followed by a time
// (T103000, T10:30:00Z, ...). The reduced forms --0412, --04-12, ---12, 1963 and 1963-03 are
// Partial: no whole date. Anything else is Bad.
CardDate readCardDate(QStringView value);

// yyyy-mm-dd with a four-digit year: the slot form of a date.
QString slotDate(QDate date);
// yyyymmdd: the basic form a card carries.
QString basicDate(QDate date);

} // namespace vcard
