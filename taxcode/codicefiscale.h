#pragma once

#include <QDate>
#include <QString>

// The Italian tax codes: the personal codice fiscale (16 characters), the numeric one of
// companies and provisional codes (11 digits) and the partita IVA (the same 11 digits). The
// checks read what was typed in any case and with blanks anywhere, and take any text.

struct TaxCodeCheck
{
    enum class Kind
    {
        Empty,    // nothing but blanks: neither valid nor not
        Personal, // 16 characters: letters of the names, birth data, place, check character
        Numeric,  // 11 digits: company number, office code, check digit
        Other     // neither shape
    };
    Kind kind = Kind::Empty;
    bool valid = false;
    QString code;   // the text in upper case without blanks
    QString reason; // why it is not valid, in Italian ("carattere di controllo errato: atteso K")

    // Of a valid personal code: what it encodes.
    QDate birthDate;
    QChar sex;         // 'M' or 'F'
    QString placeCode; // cadastral code, digits restored ("F205", "Z404")
    bool bornAbroad() const { return placeCode.startsWith(u'Z'); }
};

// Upper case for a-z, every blank removed; any other character is kept, to be refused.
QString normalizedTaxCode(QStringView text);

// A codice fiscale, personal or numeric. `today` decides the century of a two-digit year: the
// one that makes the person born not after today and not more than 100 years before.
TaxCodeCheck checkCodiceFiscale(QStringView text, QDate today);

// A partita IVA: 11 digits, optionally after "IT".
TaxCodeCheck checkPartitaIva(QStringView text);

// A personal code with the digits back in the places of its omocodia letters, and the check
// character that goes with them: the code the person would have had without a namesake. Other
// texts come back normalised and otherwise unchanged.
QString omocodiaBase(QStringView text);

// The check character of the first 15 characters of a personal code ('\0' when they are not
// 15 letters and digits).
QChar taxCodeCheckCharacter(QStringView first15);

// The check digit of the first 10 digits of a numeric code or partita IVA ('\0' when they are
// not 10 digits).
QChar vatCheckDigit(QStringView first10);
