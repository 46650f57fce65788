#pragma once

#include <QList>
#include <QString>

// What the search boxes of the municipality list hold.
struct ComuniSearch
{
    QString descrizione;    // Comune
    QString codiceIstat;    // COD_ISTAT
    QString codiceBelfiore; // CODICE_F
    QString provincia;      // Provincia
    QString prefisso;       // PrefNaz
    QString cap;            // Cap
    // The municipalities with a postal code that begins with `cap` among their other codes
    // (the towns with several codes): they are found too.
    QList<qint64> altriCap;
};

// Whether the other codes can be looked up for the text of the Cap box: digits, no wildcard.
bool capSearchedAmongAllCodes(const QString &cap);

// The filter of the municipality list: a begins-with condition per box that holds something
// other than "" or "*", in the order of the fields above, joined with " and "; texts with
// their apostrophes doubled; the Cap condition also keeps the municipalities of `altriCap`.
// Empty when no box searches.
QString composeComuniFilter(const ComuniSearch &search);
