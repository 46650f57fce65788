#pragma once

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
};

// The filter of the municipality list: a begins-with condition per box that holds something
// other than "" or "*", in the order of the fields above, joined with " and "; texts with
// their apostrophes doubled. Empty when no box searches.
QString composeComuniFilter(const ComuniSearch &search);
