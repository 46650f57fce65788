#pragma once

#include "contacts/sheetcolumns.h"
#include "contacts/vcardimport.h"
#include "db/core/connection.h"
#include "sheets/sheettable.h"

#include <QDate>
#include <QStringList>

#include <functional>

// What a file name says of a spreadsheet: ".csv" or ".xlsx", letter case aside.
enum class SheetKind
{
    Csv,
    Xlsx,
    Unknown,
};
SheetKind sheetKindOf(const QString &path);

// The rows of a spreadsheet file, the first its header; an Italian message for a file that
// cannot be read, is empty, or is not a .csv or .xlsx.
db::Result<sheets::SheetRows> readSheetFile(const QString &path);

struct SheetImportSummary
{
    int nuovi = 0;
    int aggiornati = 0;
    int saltati = 0;
    bool annullato = false;      // stopped before the end: nothing was written
    bool righeAggiunte = false;  // categories, professions or titles were added
    QStringList colonneIgnorate; // the headers of the columns not imported
    QStringList avvisi;          // per row: why it was skipped, what of it was not imported

    // "N nuovi, M aggiornati, K saltati", the columns not imported, then the notes: all of them,
    // or the first `notes` and how many more there are.
    QString testo(qsizetype notes = -1) const;
};

// Asked now and then during an import: how far it is (rows done of all), and whether to go on.
using SheetImportProgress = std::function<bool(int done, int total)>;

// Imports the rows after the header of `rows` as contacts, each column filling the field of
// `columns` (found from the header when empty). Values as an Italian office means them: dates
// dd/mm/yyyy, ISO or a date cell, a CAP stored as a number with its leading zeros back, the town
// found among the municipalities (by name, then province, then CAP). A row already in the archive
// (the same codice fiscale, partita IVA or e-mail, else the same names and town), or earlier in
// the file, is skipped or updated as `azione` says (Chiedi counts as Salta), never doubled. All
// in one transaction: a failure or a stop writes nothing. A header with no known column is
// refused.
db::Result<SheetImportSummary> importSheet(db::Connection &connection,
                                           const sheets::SheetRows &rows,
                                           const QList<ColumnMatch> &columns,
                                           AzioneImportazioneVCard azione, QDate today,
                                           const SheetImportProgress &progress = {});

// The header row's texts.
QStringList sheetHeaders(const sheets::SheetRows &rows);
