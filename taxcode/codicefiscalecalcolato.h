#pragma once

#include "db/core/result.h"

#include <QDate>
#include <QString>

// What a personal codice fiscale is computed from.
struct DatiAnagrafici
{
    QString cognome;
    QString nome;
    QDate nascita;
    QChar sesso;             // 'M' or 'F'
    QString codiceCatastale; // of the birthplace, or "Z" and three digits for a foreign state
};

// The three letters of a surname: its consonants, then its vowels, then X. Accents, apostrophes,
// blanks and anything not a letter count for nothing ("D'Angelo" is DNG, "De Rossi" DRS).
QString surnameLetters(QStringView cognome);
// The three letters of a given name: the first, third and fourth consonant when it has four or
// more, otherwise as a surname.
QString nameLetters(QStringView nome);

// The code, or an Italian message naming what is missing or wrong.
db::Result<QString> computeCodiceFiscale(const DatiAnagrafici &dati);
