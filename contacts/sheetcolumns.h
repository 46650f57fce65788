#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The contact's fields a spreadsheet's column can fill, and how a column is recognised by its
// header: the Italian names an office writes, the columns of a phone's contacts export
// ("Given Name", "Phone 1 - Value") and of a mail program's (English and Italian headers).
enum class SheetField
{
    Nessuno, // not imported
    Cognome,
    Nome,
    RagioneSociale,
    Titolo,
    Indirizzo,
    Civico,
    Cap,
    Comune,
    Provincia,
    UfficioIndirizzo,
    UfficioCivico,
    UfficioCap,
    UfficioComune,
    UfficioProvincia,
    Telefono,
    Cellulare,
    TelefonoUfficio,
    CellulareUfficio,
    Fax,
    Email,
    EmailUfficio,
    Pec,
    Internet,
    CodiceFiscale,
    PartitaIva,
    DataNascita,
    Categoria,
    Professione,
    Note,
};
inline constexpr int kSheetFields = int(SheetField::Note) + 1;

// Its title: the export's header and the import's name for it ("Ragione sociale").
QString sheetFieldTitle(SheetField field);
// Every field an export writes, in its order (all but Nessuno).
QList<SheetField> exportedSheetFields();

// What one column fills. With a type column (a phone's export: "Phone 1 - Type" beside
// "Phone 1 - Value"), the field is the home one, and each row's type moves it: a mobile to
// Cellulare, work to the office's field, a fax to Fax.
struct ColumnMatch
{
    SheetField field = SheetField::Nessuno;
    int typeColumn = -1;

    bool operator==(const ColumnMatch &other) const = default;
};

// The columns of a header row, each matched by its name (letter case, accents, blanks and
// punctuation aside). A type column itself fills nothing.
QList<ColumnMatch> matchColumns(const QStringList &headers);
// The field a column fills in a row whose type cell holds `type`.
SheetField fieldForType(const ColumnMatch &match, const QString &type);
// How the import's preview names what a column fills: the field's title, with the type column's
// header when there is one; "(non importare)" for none.
QString columnMatchLabel(const ColumnMatch &match, const QStringList &headers);
