#pragma once

#include <QString>

// What the contact list's search boxes hold.
struct ContactSearch
{
    QString nominativo;
    QString fax;
    QString note;
    QString telefoni;
    QString cellulari;
    QString categoria;   // the category shown in its list
    QString sesso;       // the chosen sex's key
    QString professione; // the profession shown in its list
    QString email;
};

// The filter text of the contact list: one condition per box that holds something other than
// "" or "*", joined with " and "; texts with their apostrophes doubled; begins-with matches.
QString composeContactFilter(const ContactSearch &search);

// The colour a contact's row is painted with (a Windows colour value): its own colour, or
// failing that its category's; a value below 1 or white counts as none. White when neither.
qint64 contactRowColour(qint64 numeroColore, qint64 coloreCategoria);
