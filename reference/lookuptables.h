#pragma once

#include <QString>
#include <QVariant>

// The five small reference tables (categories, professions, titles, payment types, appointment
// types) are kept by one pair of windows each, built on the same pattern: a list with a live
// search and a detail window with the description. What differs from table to table is here.
namespace reference {

struct LookupTable
{
    enum class Add
    {
        Plain,  // the new row waits in the data set until the detail window saves it
        Stored, // the new row is stored at once, with `defaultColumn` = `defaultValue`
    };
    enum class Store
    {
        Save,    // SalvaRecord: write, re-read, back to the row
        Confirm, // ConfermaRecord: write and stay
    };

    QString table = {};
    QString listCaption = {};
    QString detailCaption = {};
    QString searchLabel = {};
    Add add = Add::Plain;
    QString defaultColumn = {};
    QVariant defaultValue = {};
    Store store = Store::Save;
    QString deleteQuestion = {};
    QString missingDescription = {};
    QString descriptionField = {}; // objectName of the detail window's description box
    bool detailHasHelpButton = false;
    bool captionlessAddAndOpen = false; // those two buttons show only their picture and hint
    bool searchMovesFocus = false;      // Enter and the arrows leave the search box
    int listHelpContext = 0;
    int detailHelpContext = 0;
};

const LookupTable &categorie();
const LookupTable &professioni();
const LookupTable &titoli();
const LookupTable &tipoPagamenti();
const LookupTable &tipologieCalendario();

// The live filter of a list: rows whose description begins with the search text; every row
// for an empty search or "*".
QString descriptionFilter(const QString &search);

// The colour the category picker shows for a stored ColoreCategoria: the stored one when it is
// above 0, white for 0 (black), below 0 and null.
qint64 shownCategoryColour(const QVariant &stored);

// Clears the colour the contacts of a category keep a copy of; they keep the category. The
// category's key is bound to the ?.
QString clearCategoryColourSql();

// Gives the contacts of a category the category's colour, in the copy they keep: the colour
// and the category's key are bound to the two ?.
QString followCategoryColourSql();

} // namespace reference
